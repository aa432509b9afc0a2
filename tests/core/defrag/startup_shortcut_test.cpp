#include "core/defrag/startup_shortcut.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace qm {
namespace {

// A file system of paths the test names; links are recorded as target|arguments and messages
// as text|style|title.
class FakeShortcutPlatform final : public ShortcutPlatform {
  public:
    std::string windowsDir = "C:\\WINDOWS";
    bool nt = true;
    std::string startup =
        "C:\\Users\\user1\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
    std::set<std::string> files;
    std::set<std::string> folders;
    std::set<std::pair<std::string, std::string>> aliases;  // two names of one file
    std::map<std::string, std::string> links;
    bool linkFails = false;
    std::vector<std::string> deleted;
    std::vector<std::string> messages;

    std::string GetWindowsDir() override { return windowsDir; }
    bool IsWindowsNT() override { return nt; }
    std::string StartupFolder() override { return startup; }
    bool FileExists(const std::string& path) override { return files.contains(path); }
    bool FolderExists(const std::string& path) override { return folders.contains(path); }
    bool SameFile(const std::string& a, const std::string& b) override {
        return aliases.contains({a, b}) || aliases.contains({b, a});
    }
    bool RemoveFile(const std::string& path) override {
        deleted.push_back(path);
        return files.erase(path) == 1;
    }
    bool CreateShellLink(const std::string& linkPath, const std::string& target,
                         const std::string& arguments) override {
        if (!linkFails) {
            files.insert(linkPath);
            links[linkPath] = target + "|" + arguments;
        }
        return !linkFails;
    }
    void ShowSystemMessage(const std::string& text, unsigned style,
                           const std::string& title) override {
        messages.push_back(text + "|" + std::to_string(style) + "|" + title);
    }
};

const std::string kUserLink =
    "C:\\Users\\user1\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\"
    "Quillmere.lnk";
const std::string kOld = "C:\\Documents and Settings\\";
const std::string kLinkTail = "\\Start Menu\\Programs\\Startup\\Quillmere.lnk";
const std::string kAdminLink = kOld + "Administrator" + kLinkTail;
const std::string kAllUsersLink = kOld + "All Users" + kLinkTail;
const std::string kDefaultLink = kOld + "Default User" + kLinkTail;
const std::string kWindowsLink = "C:\\WINDOWS" + kLinkTail;
const std::string kVariantFolder = kOld + "All Users.WINDOWS";
const std::string kVariantLink = kVariantFolder + kLinkTail;

TEST(AllUsersProfileDir, FollowsTheFamilyLayout) {
    EXPECT_EQ(AllUsersProfileDir("D:\\WINNT", true), "D:\\Documents and Settings\\All Users\\");
    EXPECT_EQ(AllUsersProfileDir("C:\\WINDOWS", false), "C:\\WINDOWS\\");
}

TEST(FindStartupShortcut, SearchesTheOldFoldersInOrder) {
    struct Case {
        bool nt;
        std::set<std::string> present;
        std::string expected;
    };
    const Case cases[] = {
        {true, {kAdminLink, kAllUsersLink, kDefaultLink}, kAdminLink},
        {true, {kAllUsersLink, kDefaultLink}, kAllUsersLink},
        {true, {kDefaultLink}, kDefaultLink},
        {true, {}, kWindowsLink},
        {false, {kAdminLink}, kWindowsLink},  // the older family keeps it below the Windows folder
    };
    for (const auto& c : cases) {
        FakeShortcutPlatform platform;
        platform.nt = c.nt;
        platform.files = c.present;
        EXPECT_EQ(FindStartupShortcut(platform, "Quillmere"), c.expected);
    }
}

TEST(StartupShortcutPath, LiesInTheUsersOwnStartupFolder) {
    FakeShortcutPlatform platform;
    EXPECT_EQ(StartupShortcutPath(platform, "Quillmere"), kUserLink);
    platform.startup += "\\";
    EXPECT_EQ(StartupShortcutPath(platform, "Quillmere"), kUserLink);
    platform.startup.clear();
    EXPECT_EQ(StartupShortcutPath(platform, "Quillmere"), "");
    EXPECT_FALSE(HasStartupShortcut(platform, "Quillmere"));
}

TEST(CreateStartupShortcut, MakesTheLinkAndClearsOldLayoutCopiesOtherThanItsOwn) {
    struct Case {
        std::string startup;
        std::set<std::string> files;
        std::vector<std::string> deleted;
    };
    const Case cases[] = {
        {FakeShortcutPlatform().startup,
         {kAdminLink, kAllUsersLink, kVariantLink},
         {kAdminLink, kVariantLink}},
        {kOld + "Administrator\\Start Menu\\Programs\\Startup", {}, {}},
    };
    for (const auto& c : cases) {
        FakeShortcutPlatform platform;
        platform.startup = c.startup;
        platform.files = c.files;
        platform.folders = {kVariantFolder};
        EXPECT_TRUE(CreateStartupShortcut(platform, "Quillmere", "C:\\Q.exe", "-a", "Quillmere"));
        const std::string link = c.startup + "\\Quillmere.lnk";
        EXPECT_EQ(platform.links[link], "C:\\Q.exe|-a");
        EXPECT_TRUE(platform.files.contains(link));
        EXPECT_EQ(platform.deleted, c.deleted);
        EXPECT_TRUE(platform.messages.empty());
    }
}

TEST(CreateStartupShortcut, NeverDeletesTheNewLinkThroughAnOldName) {
    // Newer systems keep the old folder names as junctions to the new folders: for an account
    // named Administrator the old Startup path is the new link itself.
    FakeShortcutPlatform platform;
    platform.startup =
        "C:\\Users\\Administrator\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"
        "\\Programs\\Startup";
    const std::string link = platform.startup + "\\Quillmere.lnk";
    platform.files = {kAdminLink};  // the junction shows the new file under the old name
    platform.aliases = {{kAdminLink, link}};
    EXPECT_TRUE(CreateStartupShortcut(platform, "Quillmere", "C:\\Q.exe", "", "Quillmere"));
    EXPECT_TRUE(platform.deleted.empty());
}

TEST(CreateStartupShortcut, ReportsFailureAndChangesNothing) {
    for (std::string startup : {FakeShortcutPlatform().startup, std::string()}) {
        FakeShortcutPlatform platform;
        platform.linkFails = true;
        platform.startup = startup;
        platform.files = {kAdminLink};
        EXPECT_FALSE(CreateStartupShortcut(platform, "Quillmere", "C:\\Apps\\Quillmere.exe", "",
                                           "Quillmere"));
        EXPECT_EQ(platform.messages,
                  std::vector<std::string>{
                      "Unable to create shortcut for C:\\Apps\\Quillmere.exe.|64|Quillmere"});
        EXPECT_TRUE(platform.deleted.empty());
    }
}

TEST(RemoveStartupShortcut, DeletesTheUsersLinkAndTheFirstOldCopy) {
    struct Case {
        bool nt;
        std::string windowsDir;
        std::set<std::string> files;
        std::set<std::string> folders;
        std::vector<std::string> deleted;
    };
    const Case cases[] = {
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
    for (const auto& c : cases) {
        FakeShortcutPlatform platform;
        platform.nt = c.nt;
        platform.windowsDir = c.windowsDir;
        platform.files = c.files;
        platform.folders = c.folders;
        RemoveStartupShortcut(platform, "Quillmere");
        EXPECT_EQ(platform.deleted, c.deleted);
    }
}

}  // namespace
}  // namespace qm
