// The start-up shortcut as a real shell link in this system's Startup folder.
#include <gtest/gtest.h>

#include "core/defrag/startup_shortcut.h"
#include "win32/common/text.h"
#include "win32/win_fixture.h"
#include "win32/defrag/startup_shortcut_win.h"

namespace qm::test {
namespace {

using win::Narrow;
using win::Widen;

constexpr char kLink[] = "QuillmereTestLink";

class ShortcutWin : public ::testing::Test {
  protected:
    void TearDown() override { ::DeleteFileW(linkPath_.c_str()); }

    // Message boxes are recorded as text|style|title.
    win::WindowsShortcutPlatform::MessageBoxCall Recorder() {
        return [this](const std::wstring& text, UINT style, const std::wstring& title) {
            messages_.push_back(text + L"|" + std::to_wstring(style) + L"|" + title);
        };
    }
    std::vector<std::wstring> messages_;
    win::WindowsShortcutPlatform platform_{Recorder()};
    std::wstring linkPath_ = Widen(win::UserStartupFolder() + "\\" + kLink + ".lnk");
};

TEST_F(ShortcutWin, CreatesFindsReplacesAndRemovesARealShortcut) {
    const std::pair<std::string, const char*> cases[] = {
        {win::RunningExecutablePath(), ""},
        {win::GetWindowsDir() + "\\notepad.exe", "/x"}};  // replaced, not refused
    for (const auto& [path, arguments] : cases) {
        ASSERT_TRUE(CreateStartupShortcut(platform_, kLink, path, arguments, "Quillmere"));
        EXPECT_TRUE(HasStartupShortcut(platform_, kLink));
        auto target = win::ReadShellLink(linkPath_);
        ASSERT_TRUE(target);
        EXPECT_EQ(_wcsicmp(target->path.c_str(), Widen(path).c_str()), 0) << Narrow(target->path);
        EXPECT_EQ(target->arguments, Widen(arguments));
    }
    RemoveStartupShortcut(platform_, kLink);
    EXPECT_EQ(::GetFileAttributesW(linkPath_.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(HasStartupShortcut(platform_, kLink));
    RemoveStartupShortcut(platform_, kLink);  // nothing left: still quiet
    EXPECT_TRUE(messages_.empty());
}

// What the message says is the core's; here the real link fails and the user is told.
TEST_F(ShortcutWin, AFailedCreationIsTold) {
    TempFolder folder;
    win::WindowsShortcutPlatform platform(Recorder(), Narrow(folder / L"missing\\folder"));
    EXPECT_FALSE(CreateStartupShortcut(platform, kLink, "C:\\Q.exe", "", "Quillmere"));
    EXPECT_EQ(messages_.size(), 1u);
}

}  // namespace
}  // namespace qm::test
