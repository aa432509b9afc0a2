#include "core/defrag/startup_shortcut.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace qm {
namespace {

// A file system of paths the test names; links are recorded as target + arguments.
class FakeShortcutPlatform final : public ShortcutPlatform {
  public:
    std::string windowsDir = "C:\\WINDOWS";
    std::string login = "user1";
    bool nt = true;
    std::string startup =
        "C:\\Users\\user1\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
    std::set<std::string> files;
    std::set<std::string> folders;
    std::map<std::string, std::string> links;
    bool linkFails = false;
    std::vector<std::string> deleted;
    struct Message {
        std::string text;
        unsigned style;
        std::string title;
    };
    std::vector<Message> messages;

    std::string GetWindowsDir() override { return windowsDir; }
    std::string GetLoginName() override { return login; }
    bool IsWindowsNT() override { return nt; }
    std::string StartupFolder() override { return startup; }
    bool FileExists(const std::string& path) override { return files.contains(path); }
    bool FolderExists(const std::string& path) override { return folders.contains(path); }
    bool RemoveFile(const std::string& path) override {
        deleted.push_back(path);
        links.erase(path);
        return files.erase(path) == 1;
    }
    bool CreateShellLink(const std::string& linkPath, const std::string& target,
                         const std::string& arguments) override {
        if (linkFails) {
            return false;
        }
        files.insert(linkPath);
        links[linkPath] = target + "|" + arguments;
        return true;
    }
    void ShowSystemMessage(const std::string& text, unsigned style,
                           const std::string& title) override {
        messages.push_back({text, style, title});
    }
};

const std::string kUserLink =
    "C:\\Users\\user1\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\"
    "Quillmere.lnk";
const std::string kAdminLink =
    "C:\\Documents and Settings\\Administrator\\Start Menu\\Programs\\Startup\\Quillmere.lnk";
const std::string kAllUsersLink =
    "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup\\Quillmere.lnk";
const std::string kDefaultLink =
    "C:\\Documents and Settings\\Default User\\Start Menu\\Programs\\Startup\\Quillmere.lnk";
const std::string kWindowsLink = "C:\\WINDOWS\\Start Menu\\Programs\\Startup\\Quillmere.lnk";
const std::string kVariantFolder = "C:\\Documents and Settings\\All Users.WINDOWS";
const std::string kVariantLink = kVariantFolder + "\\Start Menu\\Programs\\Startup\\Quillmere.lnk";

TEST(ProfileDirs, FollowTheFamilyLayout) {
    struct Case {
        const char* windowsDir;
        bool nt;
        const char* user;
        const char* allUsers;
    };
    const Case cases[] = {
        {"C:\\WINDOWS", true, "C:\\Documents and Settings\\user1\\",
         "C:\\Documents and Settings\\All Users\\"},
        {"D:\\WINNT", true, "D:\\Documents and Settings\\user1\\",
         "D:\\Documents and Settings\\All Users\\"},
        {"C:\\WINDOWS", false, "C:\\WINDOWS\\", "C:\\WINDOWS\\"},
        {"", true, "Documents and Settings\\user1\\", "Documents and Settings\\All Users\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UserProfileDir(c.windowsDir, "user1", c.nt), c.user) << c.windowsDir;
        EXPECT_EQ(AllUsersProfileDir(c.windowsDir, c.nt), c.allUsers) << c.windowsDir;
    }
    EXPECT_EQ(SystemDriveOf("C:\\WINDOWS"), "C:\\");
}

TEST(FindStartupShortcut, SearchesTheOldFoldersInOrder) {
    struct Case {
        std::set<std::string> present;
        std::string expected;
    };
    const Case cases[] = {
        {{kAdminLink, kAllUsersLink, kDefaultLink}, kAdminLink},
        {{kAllUsersLink, kDefaultLink}, kAllUsersLink},
        {{kDefaultLink}, kDefaultLink},
        {{}, kWindowsLink},
    };
    for (const auto& c : cases) {
        FakeShortcutPlatform platform;
        platform.files = c.present;
        EXPECT_EQ(FindStartupShortcut(platform, "Quillmere"), c.expected);
    }
}

TEST(FindStartupShortcut, OnTheOlderFamilyIsBelowTheWindowsFolder) {
    FakeShortcutPlatform platform;
    platform.nt = false;
    platform.files = {kAdminLink};
    EXPECT_EQ(FindStartupShortcut(platform, "Quillmere"), kWindowsLink);
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

TEST(CreateStartupShortcut, MakesTheLinkInTheUsersStartupFolder) {
    FakeShortcutPlatform platform;
    EXPECT_TRUE(
        CreateStartupShortcut(platform, "Quillmere", "C:\\Apps\\Quillmere.exe", "", "Quillmere"));
    EXPECT_EQ(platform.links[kUserLink], "C:\\Apps\\Quillmere.exe|");
    EXPECT_TRUE(HasStartupShortcut(platform, "Quillmere"));
    EXPECT_TRUE(platform.messages.empty());
}

TEST(CreateStartupShortcut, ClearsOldLayoutCopiesButNotItsOwnLink) {
    FakeShortcutPlatform platform;
    platform.files = {kAdminLink, kAllUsersLink, kVariantLink};
    platform.folders = {kVariantFolder};
    EXPECT_TRUE(CreateStartupShortcut(platform, "Quillmere", "C:\\Q.exe", "", "Quillmere"));
    EXPECT_EQ(platform.deleted, (std::vector<std::string>{kAdminLink, kVariantLink}));
    EXPECT_TRUE(platform.files.contains(kUserLink));
}

TEST(CreateStartupShortcut, KeepsItsLinkWhenTheUsersFolderIsAnOldLayoutFolder) {
    FakeShortcutPlatform platform;
    platform.startup = "C:\\Documents and Settings\\Administrator\\Start Menu\\Programs\\Startup";
    EXPECT_TRUE(CreateStartupShortcut(platform, "Quillmere", "C:\\Q.exe", "", "Quillmere"));
    EXPECT_TRUE(platform.files.contains(kAdminLink));
    EXPECT_TRUE(platform.deleted.empty());
}

TEST(CreateStartupShortcut, ReportsFailureAndChangesNothing) {
    for (bool noFolder : {false, true}) {
        FakeShortcutPlatform platform;
        platform.linkFails = true;
        if (noFolder) {
            platform.startup.clear();
        }
        platform.files = {kAdminLink};
        EXPECT_FALSE(CreateStartupShortcut(
            platform, "Quillmere", "C:\\Program Files\\Quillmere\\Quillmere.exe", "", "Quillmere"));
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text,
                  "Unable to create shortcut for C:\\Program Files\\Quillmere\\Quillmere.exe.");
        EXPECT_EQ(platform.messages[0].style, 64u);
        EXPECT_EQ(platform.messages[0].title, "Quillmere");
        EXPECT_TRUE(platform.deleted.empty());
    }
}

TEST(RemoveStartupShortcut, DeletesTheUsersLinkAndTheFirstOldCopy) {
    FakeShortcutPlatform platform;
    platform.files = {kUserLink, kAdminLink, kAllUsersLink, kVariantLink};
    platform.folders = {kVariantFolder};
    RemoveStartupShortcut(platform, "Quillmere");
    EXPECT_EQ(platform.deleted, (std::vector<std::string>{kUserLink, kAdminLink, kVariantLink}));
    EXPECT_TRUE(platform.files.contains(kAllUsersLink));
}

TEST(RemoveStartupShortcut, LeavesTheVariantAloneWhenItsFolderIsMissing) {
    FakeShortcutPlatform platform;
    platform.files = {kVariantLink};
    RemoveStartupShortcut(platform, "Quillmere");
    EXPECT_TRUE(platform.deleted.empty());
}

TEST(RemoveStartupShortcut, OnTheOlderFamilyCleansBelowTheWindowsFolder) {
    FakeShortcutPlatform platform;
    platform.nt = false;
    platform.files = {kWindowsLink,
                      "C:\\WINDOWS.WINDOWS\\Start Menu\\Programs\\Startup\\Quillmere.lnk"};
    RemoveStartupShortcut(platform, "Quillmere");
    EXPECT_EQ(platform.deleted, (std::vector<std::string>{kWindowsLink}));
}

TEST(RemoveStartupShortcut, TouchesNoOldFolderWhenTheWindowsFolderIsUnknown) {
    FakeShortcutPlatform platform;
    platform.windowsDir.clear();
    platform.files = {kUserLink, "\\Start Menu\\Programs\\Startup\\Quillmere.lnk"};
    RemoveStartupShortcut(platform, "Quillmere");
    EXPECT_EQ(platform.deleted, (std::vector<std::string>{kUserLink}));
}

}  // namespace
}  // namespace qm
