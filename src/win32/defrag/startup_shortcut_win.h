#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "core/defrag/startup_shortcut.h"

namespace qm::win {

// The Windows folder without a trailing backslash, or empty text.
std::string GetWindowsDir();
// The current user's Startup folder as the shell reports it, or empty text.
std::string UserStartupFolder();

// The shortcut's needs on the real system: shell links through IShellLinkW and
// IPersistFile, files through the file API, the message through MessageBoxW (replaceable,
// so tests can see what would be shown).
class WindowsShortcutPlatform final : public ShortcutPlatform {
  public:
    using MessageBoxCall =
        std::function<void(const std::wstring& text, UINT style, const std::wstring& title)>;

    WindowsShortcutPlatform();
    // `startupFolder` stands in for the user's Startup folder when not empty.
    WindowsShortcutPlatform(MessageBoxCall messageBox, std::string startupFolder = {});

    std::string GetWindowsDir() override { return win::GetWindowsDir(); }
    bool IsWindowsNT() override;
    std::string StartupFolder() override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool SameFile(const std::string& a, const std::string& b) override;
    bool CreateShellLink(const std::string& linkPath, const std::string& target,
                         const std::string& arguments) override;
    void ShowSystemMessage(const std::string& text, unsigned style,
                           const std::string& title) override;

  private:
    MessageBoxCall messageBox_;
    std::string startupFolder_;
};

// Where a shell link points and with which arguments; nothing when it cannot be read.
struct ShellLinkTarget {
    std::wstring path;
    std::wstring arguments;
};
std::optional<ShellLinkTarget> ReadShellLink(const std::wstring& linkPath);

// The program's own shortcut "Quillmere.lnk", pointing at the running executable with no
// arguments, in the current user's Startup folder.
inline constexpr char kStartupLinkName[] = "Quillmere";
std::string RunningExecutablePath();
bool CreateProgramStartupShortcut(const std::string& appTitle);
void RemoveProgramStartupShortcut();
bool HasProgramStartupShortcut();

}  // namespace qm::win
