#include "core/defrag/startup_shortcut.h"

#include <array>

#include "core/defrag/text_case.h"

namespace qm {
namespace {

constexpr const char* kProfiles = "Documents and Settings\\";
constexpr const char* kStartupBelowRoot = "\\Start Menu\\Programs\\Startup\\";
constexpr const char* kExtension = ".lnk";

}  // namespace

std::string SystemDriveOf(const std::string& windowsDir) {
    return windowsDir.substr(0, 3);
}

std::string AllUsersProfileDir(const std::string& windowsDir, bool isNT) {
    if (!isNT) {
        return windowsDir + "\\";
    }
    return SystemDriveOf(windowsDir) + kProfiles + "All Users\\";
}

std::string FindStartupShortcut(ShortcutPlatform& platform, const std::string& linkName) {
    const std::string windowsDir = platform.GetWindowsDir();
    const std::string fallback = windowsDir + kStartupBelowRoot + linkName + kExtension;
    if (!platform.IsWindowsNT()) {
        return fallback;
    }
    const std::string drive = SystemDriveOf(windowsDir);
    const std::array<const char*, 3> profiles{"Administrator", "All Users", "Default User"};
    for (const char* profile : profiles) {
        std::string candidate =
            drive + kProfiles + profile + kStartupBelowRoot + linkName + kExtension;
        if (platform.FileExists(candidate)) {
            return candidate;
        }
    }
    return fallback;
}

std::string StartupShortcutPath(ShortcutPlatform& platform, const std::string& linkName) {
    std::string folder = platform.StartupFolder();
    if (folder.empty()) {
        return {};
    }
    if (folder.back() != '\\') {
        folder += '\\';
    }
    return folder + linkName + kExtension;
}

bool HasStartupShortcut(ShortcutPlatform& platform, const std::string& linkName) {
    std::string path = StartupShortcutPath(platform, linkName);
    return !path.empty() && platform.FileExists(path);
}

namespace {

bool SamePath(const std::string& a, const std::string& b) {
    return AsciiLower(a) == AsciiLower(b);
}

// The copies an older layout may have left behind. `keep` is the user's own shortcut, which
// on older systems can lie in one of those very folders, and on newer ones can be reached
// through them: the old folder names are junctions to the new ones there.
void RemoveLegacyShortcuts(ShortcutPlatform& platform, const std::string& linkName,
                           const std::string& keep) {
    if (platform.GetWindowsDir().empty()) {
        return;  // the old folders cannot be named: better leave them than guess
    }
    auto removeIfThere = [&](const std::string& path) {
        const bool isKept =
            !keep.empty() && (SamePath(path, keep) || platform.SameFile(path, keep));
        if (!isKept && platform.FileExists(path)) {
            platform.RemoveFile(path);
        }
    };
    removeIfThere(FindStartupShortcut(platform, linkName));
    std::string allUsers = AllUsersProfileDir(platform.GetWindowsDir(), platform.IsWindowsNT());
    // The profile folder without its closing backslash, as "All Users.WINDOWS".
    const std::string variant = allUsers.substr(0, allUsers.find_last_of('\\')) + ".WINDOWS";
    if (platform.FolderExists(variant)) {
        removeIfThere(variant + kStartupBelowRoot + linkName + kExtension);
    }
}

}  // namespace

void RemoveStartupShortcut(ShortcutPlatform& platform, const std::string& linkName) {
    std::string current = StartupShortcutPath(platform, linkName);
    if (!current.empty() && platform.FileExists(current)) {
        platform.RemoveFile(current);
    }
    RemoveLegacyShortcuts(platform, linkName, {});
}

bool CreateStartupShortcut(ShortcutPlatform& platform, const std::string& linkName,
                           const std::string& targetPath, const std::string& arguments,
                           const std::string& appTitle) {
    std::string path = StartupShortcutPath(platform, linkName);
    if (path.empty() || !platform.CreateShellLink(path, targetPath, arguments)) {
        platform.ShowSystemMessage("Unable to create shortcut for " + targetPath + ".",
                                   kMessageInformation, appTitle);
        return false;
    }
    RemoveLegacyShortcuts(platform, linkName, path);
    return true;
}

}  // namespace qm
