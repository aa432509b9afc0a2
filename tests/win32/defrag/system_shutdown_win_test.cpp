// The shutdown steps on the real system, with the exit call itself always replaced: nothing
// here may end the session.
#include <gtest/gtest.h>

#include <vector>

#include "win32/defrag/system_shutdown.h"

namespace qm::test {
namespace {

TEST(ApiErrorText, GivesTheSystemsMessageWithItsLineEnd) {
    const std::string text = win::ApiErrorText(ERROR_ACCESS_DENIED);
    ASSERT_GE(text.size(), 3u);
    EXPECT_LE(text.size(), 255u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(win::ApiErrorText(0x20001234), "") << "a code without a message";
}

TEST(ShutdownWin, ModesWinThePrivilegeAndReachTheExitCallWithTheirForcedFlags) {
    struct Case {
        int mode;
        UINT flags;  // 0: the exit is not called
        DWORD refusal;
    };
    const Case cases[] = {{2, EWX_SHUTDOWN | EWX_FORCE | EWX_POWEROFF, 0},
                          {0, 0, 0},
                          {2, EWX_SHUTDOWN | EWX_FORCE | EWX_POWEROFF, ERROR_ACCESS_DENIED}};
    for (const auto& c : cases) {
        std::vector<std::pair<UINT, DWORD>> calls;
        auto exit = [&](UINT flags, DWORD reason) {
            calls.emplace_back(flags, reason);
            ::SetLastError(c.refusal);
            return c.refusal == 0;
        };
        try {
            win::ShutdownWindows(c.mode, exit);
            EXPECT_EQ(c.refusal, 0u) << "no error raised";
        } catch (const ShutdownError& e) {
            EXPECT_EQ(e.Number(), 0x8004062Bu);
            EXPECT_EQ(e.Source(), "win32_tests.mShutDown");
            EXPECT_EQ(e.Description(), "ShutdownSystem failed: " + win::ApiErrorText(c.refusal));
        }
        using Calls = std::vector<std::pair<UINT, DWORD>>;
        EXPECT_EQ(calls, (c.flags ? Calls{{c.flags, 0xFFFFFFFF}} : Calls{})) << c.mode;
    }
}

}  // namespace
}  // namespace qm::test
