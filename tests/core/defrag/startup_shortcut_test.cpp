#include "core/defrag/startup_shortcut.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using Paths = std::set<std::string>;
using Strings = std::vector<std::string>;

// A file system of paths the test names; the files deleted, then links made as
// "link|target|arguments" and messages as "text|style|title", are logged in order.
struct FakeShortcutPlatform final : ShortcutPlatform {
    std::string GetWindowsDir() override { return windowsDir; }
    bool IsWindowsNT() override { return nt; }
    std::string StartupFolder() override { return startup; }
    bool FileExists(const std::string& path) override { return files.contains(path); }
    bool FolderExists(const std::string& path) override { return folders.contains(path); }
    bool SameFile(const std::string& a, const std::string& b) override { return alias == a + b; }
    bool RemoveFile(const std::string& path) override {
        log.push_back(path);
        return files.erase(path) == 1;
    }
    bool CreateShellLink(const std::string& link, const std::string& target,
                         const std::string& arguments) override {
        log.push_back(link + "|" + target + "|" + arguments);
        files.insert(link);
        return !linkFails;
    }
    void ShowSystemMessage(const std::string& text, unsigned style,
                           const std::string& title) override {
        log.push_back(text + "|" + std::to_string(style) + "|" + title);
    }

    std::string windowsDir = "C:\\WINDOWS";
    bool nt = true, linkFails = false;
    std::string startup =
        "C:\\Users\\user1\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
    Paths files, folders;
    std::string alias;  // two names of one file, one after the other
    Strings log;
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
    platform.startup += "\\";
    EXPECT_EQ(StartupShortcutPath(platform, "Quillmere"), kUserLink);
    platform.startup.clear();
    EXPECT_EQ(StartupShortcutPath(platform, "Quillmere"), "");
    EXPECT_FALSE(HasStartupShortcut(platform, "Quillmere"));
}

TEST(StartupShortcut, CreatingClearsOldCopiesOtherThanItsOwnRemovingTheFirstOldCopy) {
    // The old copies go, but not the link just made: an account named Administrator on an
    // older system has it there, and on newer ones the old names are junctions to the new
    // folders. A failed link says so and deletes nothing.
    const std::string admin = kOld + "Administrator\\Start Menu\\Programs\\Startup";
    const std::string user = FakeShortcutPlatform().startup, link = "|C:\\Q.exe|-a",
                      refusal = "Unable to create shortcut for C:\\Q.exe.|64|Quillmere";
    const std::tuple<std::string, std::string, bool, Strings> creations[] = {
        {user, "", false, {kUserLink + link, kAdminLink, kVariantLink}},
        {admin, "", false, {kAdminLink + link, kVariantLink}},
        {user, kAdminLink + kUserLink, false, {kUserLink + link, kVariantLink}},
        {"", "", false, {refusal}},
        {user, "", true, {kUserLink + link, refusal}}};
    for (const auto& [startup, alias, linkFails, log] : creations) {
        FakeShortcutPlatform platform;
        std::tie(platform.startup, platform.alias, platform.linkFails) =
            std::tie(startup, alias, linkFails);
        platform.files = {kAdminLink, kAllUsersLink, kVariantLink};
        platform.folders = {kVariantFolder};
        EXPECT_EQ(CreateStartupShortcut(platform, "Quillmere", "C:\\Q.exe", "-a", "Quillmere"),
                  log.back() != refusal);
        EXPECT_EQ(platform.log, log) << startup;
    }
    const std::tuple<bool, std::string, Paths, Paths, Strings> removals[] = {
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
    for (const auto& [nt, windowsDir, files, folders, deleted] : removals) {
        FakeShortcutPlatform platform;
        std::tie(platform.nt, platform.windowsDir, platform.files, platform.folders) =
            std::tie(nt, windowsDir, files, folders);
        RemoveStartupShortcut(platform, "Quillmere");
        EXPECT_EQ(platform.log, deleted);
    }
}

}  // namespace
}  // namespace qm
