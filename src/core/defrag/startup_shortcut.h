#pragma once

#include <string>

namespace qm {

// What the start-up shortcut needs from the system: folders, names, files and the shell link.
class ShortcutPlatform {
  public:
    virtual ~ShortcutPlatform() = default;

    // The Windows folder without a trailing backslash ("C:\WINDOWS"), or empty text.
    virtual std::string GetWindowsDir() = 0;
    virtual bool IsWindowsNT() = 0;
    // The current user's Startup folder as the system reports it, without a trailing
    // backslash; empty text when the system does not say.
    virtual std::string StartupFolder() = 0;

    virtual bool FileExists(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // Whether two paths name one and the same file (links and junctions followed); false when
    // either cannot be opened.
    virtual bool SameFile(const std::string& a, const std::string& b) = 0;
    // Writes a shortcut file at `linkPath` (replacing one that is there) that starts
    // `target` with `arguments`. Returns whether the file was written.
    virtual bool CreateShellLink(const std::string& linkPath, const std::string& target,
                                 const std::string& arguments) = 0;
    // The standard system message box: text, style (icon and buttons), caption.
    virtual void ShowSystemMessage(const std::string& text, unsigned style,
                                   const std::string& title) = 0;
};

// The first three characters of the Windows folder ("C:\").
std::string SystemDriveOf(const std::string& windowsDir);

// The old all-users profile folder: on the NT family "Documents and Settings\All Users\" on
// the system drive, otherwise the Windows folder; it ends with a backslash. These are the
// Windows XP and 9x layouts: the program only cleans up copies that older versions left there.
std::string AllUsersProfileDir(const std::string& windowsDir, bool isNT);

// Where an old-layout shortcut `linkName` would be: the first of the known Startup folders
// that holds one, else the one below the Windows folder.
std::string FindStartupShortcut(ShortcutPlatform& platform, const std::string& linkName);

// The shortcut's place in the current user's Startup folder; empty when that is unknown.
std::string StartupShortcutPath(ShortcutPlatform& platform, const std::string& linkName);

// Whether the current user's Startup folder holds the shortcut.
bool HasStartupShortcut(ShortcutPlatform& platform, const std::string& linkName);

// Deletes the shortcut from the user's Startup folder and from the old-layout places that
// hold one. Missing files and folders are not an error.
void RemoveStartupShortcut(ShortcutPlatform& platform, const std::string& linkName);

// Makes (or replaces) the shortcut in the user's Startup folder and clears old-layout copies.
// When it cannot be made the user is told with a system message box captioned `appTitle`,
// and nothing else changes. Returns whether the shortcut was made.
bool CreateStartupShortcut(ShortcutPlatform& platform, const std::string& linkName,
                           const std::string& targetPath, const std::string& arguments,
                           const std::string& appTitle);

inline constexpr unsigned kMessageInformation = 64;  // OK button, information icon

}  // namespace qm
