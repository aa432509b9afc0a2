#include "core/defrag/startup_shortcut.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using Paths = std::set<std::string>;
using Strings = std::vector<std::string>;

// A file system of paths the test names; links are recorded as target|arguments and messages
// as text|style|title.
struct FakeShortcutPlatform final : ShortcutPlatform {
    std::string GetWindowsDir() override { return windowsDir; }
    bool IsWindowsNT() override { return nt; }
    std::string StartupFolder() override { return startup; }
    bool FileExists(const std::string& path) override { return files.contains(path); }
    bool FolderExists(const std::string& path) override { return folders.contains(path); }
    bool SameFile(const std::string& a, const std::string& b) override {
        return aliases.contains({a, b});
    }
    bool RemoveFile(const std::string& path) override {
        deleted.push_back(path);
        return files.erase(path) == 1;
    }
    bool CreateShellLink(const std::string& link, const std::string& target,
                         const std::string& arguments) override {
        if (!linkFails) {
            files.insert(link);
            links[link] = target + "|" + arguments;
        }
        return !linkFails;
    }
    void ShowSystemMessage(const std::string& text, unsigned style,
                           const std::string& title) override {
        messages.push_back(text + "|" + std::to_string(style) + "|" + title);
    }

    std::string windowsDir = "C:\\WINDOWS";
    bool nt = true;
    std::string startup =
        "C:\\Users\\user1\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
    Paths files, folders;
    std::set<std::pair<std::string, std::string>> aliases;  // two names of one file
    std::map<std::string, std::string> links;
    bool linkFails = false;
    Strings deleted, messages;
};

const std::string kUserLink = FakeShortcutPlatform().startup + "\\Quillmere.lnk";
const std::string kOld = "C:\\Documents and Settings\\";
const std::string kLinkTail = "\\Start Menu\\Programs\\Startup\\Quillmere.lnk";
const std::string kAdminLink = kOld + "Administrator" + kLinkTail;
const std::string kAllUsersLink = kOld + "All Users" + kLinkTail;
const std::string kDefaultLink = kOld + "Default User" + kLinkTail;
const std::string kWindowsLink = "C:\\WINDOWS" + kLinkTail;
const std::string kVariantFolder = kOld + "All Users.WINDOWS";
const std::string kVariantLink = kVariantFolder + kLinkTail;

TEST(StartupShortcut, OldCopiesAreSoughtInTheFolderOfTheFamilyAndTheNewOneInTheUsers) {
    EXPECT_EQ(AllUsersProfileDir("D:\\WINNT", true), "D:\\Documents and Settings\\All Users\\");
    EXPECT_EQ(AllUsersProfileDir("C:\\WINDOWS", false), "C:\\WINDOWS\\");
    const std::tuple<bool, Paths, std::string> cases[] = {
        {true, {kAdminLink, kAllUsersLink, kDefaultLink}, kAdminLink},
        {true, {kAllUsersLink, kDefaultLink}, kAllUsersLink},
        {true, {kDefaultLink}, kDefaultLink},
        {true, {}, kWindowsLink},
        {false, {kAdminLink}, kWindowsLink},  // the older family keeps it below the Windows folder
    };
    for (const auto& [nt, present, expected] : cases) {
        FakeShortcutPlatform platform;
        platform.nt = nt;
        platform.files = present;
        EXPECT_EQ(FindStartupShortcut(platform, "Quillmere"), expected);
    }
    FakeShortcutPlatform platform;
    EXPECT_EQ(StartupShortcutPath(platform, "Quillmere"), kUserLink);
    platform.startup += "\\";
    EXPECT_EQ(StartupShortcutPath(platform, "Quillmere"), kUserLink);
    platform.startup.clear();
    EXPECT_EQ(StartupShortcutPath(platform, "Quillmere"), "");
    EXPECT_FALSE(HasStartupShortcut(platform, "Quillmere"));
}

TEST(CreateStartupShortcut, MakesTheLinkAndClearsOldCopiesOtherThanItsOwnOrSaysItCannot) {
    const std::tuple<std::string, Paths, Strings> cases[] = {
        {FakeShortcutPlatform().startup,
         {kAdminLink, kAllUsersLink, kVariantLink},
         {kAdminLink, kVariantLink}},
        {kOld + "Administrator\\Start Menu\\Programs\\Startup", {}, {}},
    };
    for (const auto& [startup, files, deleted] : cases) {
        FakeShortcutPlatform platform;
        platform.startup = startup;
        platform.files = files;
        platform.folders = {kVariantFolder};
        EXPECT_TRUE(CreateStartupShortcut(platform, "Quillmere", "C:\\Q.exe", "-a", "Quillmere"));
        EXPECT_EQ(platform.links[startup + "\\Quillmere.lnk"], "C:\\Q.exe|-a");
        EXPECT_TRUE(platform.files.contains(startup + "\\Quillmere.lnk"));
        EXPECT_EQ(platform.deleted, deleted);
        EXPECT_TRUE(platform.messages.empty());
    }
    // Newer systems keep the old folder names as junctions to the new folders: for an account
    // named Administrator the old Startup path is the new link itself.
    FakeShortcutPlatform platform;
    platform.startup =
        "C:\\Users\\Administrator\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"
        "\\Programs\\Startup";
    platform.files = {kAdminLink};  // the junction shows the new file under the old name
    platform.aliases = {{kAdminLink, platform.startup + "\\Quillmere.lnk"}};
    EXPECT_TRUE(CreateStartupShortcut(platform, "Quillmere", "C:\\Q.exe", "", "Quillmere"));
    EXPECT_TRUE(platform.deleted.empty());
    for (std::string startup : {FakeShortcutPlatform().startup, std::string()}) {
        FakeShortcutPlatform platform;
        platform.linkFails = true;
        platform.startup = startup;
        platform.files = {kAdminLink};
        EXPECT_FALSE(CreateStartupShortcut(platform, "Quillmere", "C:\\Apps\\Quillmere.exe", "",
                                           "Quillmere"));
        EXPECT_EQ(platform.messages,
                  Strings{"Unable to create shortcut for C:\\Apps\\Quillmere.exe.|64|Quillmere"});
        EXPECT_TRUE(platform.deleted.empty());
    }
}

TEST(RemoveStartupShortcut, DeletesTheUsersLinkAndTheFirstOldCopy) {
    const std::tuple<bool, std::string, Paths, Paths, Strings> cases[] = {
        {true,
         "C:\\WINDOWS",
         {kUserLink, kAdminLink, kAllUsersLink, kVariantLink},
         {kVariantFolder},
         {kUserLink, kAdminLink, kVariantLink}},
        {true, "C:\\WINDOWS", {kVariantLink}, {}, {}},  // the variant's folder is missing
        {false,
         "C:\\WINDOWS",
         {kWindowsLink, "C:\\WINDOWS.WINDOWS" + kLinkTail},
         {},
         {kWindowsLink}},
        {true, "", {kUserLink, kLinkTail}, {}, {kUserLink}},  // no Windows folder: no old ones
    };
    for (const auto& [nt, windowsDir, files, folders, deleted] : cases) {
        FakeShortcutPlatform platform;
        platform.nt = nt;
        platform.windowsDir = windowsDir;
        platform.files = files;
        platform.folders = folders;
        RemoveStartupShortcut(platform, "Quillmere");
        EXPECT_EQ(platform.deleted, deleted);
    }
}

}  // namespace
}  // namespace qm
