// The start-up shortcut as a real shell link in this system's Startup folder.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "core/defrag/startup_shortcut.h"
#include "win32/common/text.h"
#include "win32/defrag/process_fixture.h"
#include "win32/defrag/startup_shortcut_win.h"

namespace qm::test {
namespace {

using win::Narrow;
using win::Widen;

constexpr char kLink[] = "QuillmereTestLink";

std::wstring Lower(std::wstring text) {
    for (auto& c : text) {
        c = static_cast<wchar_t>(::towlower(c));
    }
    return text;
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ShortcutWin : public ::testing::Test {
  protected:
    struct Message {
        std::wstring text;
        UINT style;
        std::wstring title;
    };

    void TearDown() override { ::DeleteFileW(Widen(linkPath_).c_str()); }

    win::WindowsShortcutPlatform::MessageBoxCall Recorder() {
        return [this](const std::wstring& text, UINT style, const std::wstring& title) {
            messages_.push_back({text, style, title});
        };
    }

    std::vector<Message> messages_;
    win::WindowsShortcutPlatform platform_{Recorder()};
    std::string linkPath_ = win::UserStartupFolder() + "\\" + kLink + ".lnk";
};

TEST_F(ShortcutWin, TheSystemNamesTheUsersStartupFolder) {
    const std::string folder = win::UserStartupFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(platform_.FolderExists(folder));
    EXPECT_NE(Lower(Widen(folder)).find(L"\\start menu\\programs\\startup"), std::wstring::npos)
        << folder;
    const std::string login = win::GetLoginName();
    ASSERT_FALSE(login.empty());
    EXPECT_NE(Lower(Widen(folder)).find(Lower(Widen("\\" + login + "\\"))), std::wstring::npos)
        << "the folder belongs to " << login;
    EXPECT_EQ(Lower(Widen(win::GetWindowsDir())), L"c:\\windows");
}

TEST_F(ShortcutWin, CreatesFindsReplacesAndRemovesARealShortcut) {
    const std::string exe = win::RunningExecutablePath();
    ASSERT_TRUE(CreateStartupShortcut(platform_, kLink, exe, "", "Quillmere"));
    EXPECT_TRUE(messages_.empty());
    ASSERT_TRUE(Exists(linkPath_));
    EXPECT_TRUE(HasStartupShortcut(platform_, kLink));
    auto target = win::ReadShellLink(Widen(linkPath_));
    ASSERT_TRUE(target);
    EXPECT_EQ(Lower(target->path), Lower(Widen(exe)));
    EXPECT_EQ(target->arguments, L"");

    // Made again for another target, the shortcut is replaced rather than refused.
    const std::string other = win::GetWindowsDir() + "\\notepad.exe";
    ASSERT_TRUE(CreateStartupShortcut(platform_, kLink, other, "/x", "Quillmere"));
    target = win::ReadShellLink(Widen(linkPath_));
    ASSERT_TRUE(target);
    EXPECT_EQ(Lower(target->path), Lower(Widen(other)));
    EXPECT_EQ(target->arguments, L"/x");

    RemoveStartupShortcut(platform_, kLink);
    EXPECT_FALSE(Exists(linkPath_));
    EXPECT_FALSE(HasStartupShortcut(platform_, kLink));
    RemoveStartupShortcut(platform_, kLink);  // nothing left: still quiet
    EXPECT_TRUE(messages_.empty());
}

TEST_F(ShortcutWin, AFailedCreationIsToldInASystemMessageBox) {
    TempFolder folder;
    win::WindowsShortcutPlatform platform(Recorder(), Narrow(folder.Path()) + "\\missing\\folder");
    const std::string target = "C:\\Program Files\\Quillmere\\Quillmere.exe";
    EXPECT_FALSE(CreateStartupShortcut(platform, kLink, target, "", "Quillmere"));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text,
              L"Unable to create shortcut for C:\\Program Files\\Quillmere\\Quillmere.exe.");
    EXPECT_EQ(messages_[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(messages_[0].title, L"Quillmere");
}

TEST_F(ShortcutWin, RemovalCleansTheOldLayoutFolders) {
    const std::wstring root = L"C:\\Documents and Settings";
    const bool rootExisted = ::GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES;
    const std::wstring admin = root + L"\\Administrator\\Start Menu\\Programs\\Startup";
    const std::wstring variant = root + L"\\All Users.WINDOWS\\Start Menu\\Programs\\Startup";
    const std::wstring allUsers = root + L"\\All Users\\Start Menu\\Programs\\Startup";
    const std::wstring name = Widen(std::string("\\") + kLink + ".lnk");
    for (const auto& folder : {admin, variant, allUsers}) {
        ASSERT_EQ(::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr), ERROR_SUCCESS);
        win::UniqueFileHandle file(::CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
    }
    ASSERT_TRUE(
        CreateStartupShortcut(platform_, kLink, win::RunningExecutablePath(), "", "Quillmere"));
    // Creation already took the first old copy and the variant's; removal takes the next.
    EXPECT_FALSE(Exists(Narrow(admin + name)));
    EXPECT_FALSE(Exists(Narrow(variant + name)));
    EXPECT_TRUE(Exists(Narrow(allUsers + name)));
    EXPECT_TRUE(Exists(linkPath_));

    RemoveStartupShortcut(platform_, kLink);
    EXPECT_FALSE(Exists(linkPath_));
    EXPECT_FALSE(Exists(Narrow(allUsers + name)));

    if (!rootExisted) {
        DeleteTree(root);
    }
}

}  // namespace
}  // namespace qm::test
