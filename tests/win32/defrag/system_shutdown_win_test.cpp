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
    // The mode, the exit call's flags (0: not called), and the system's refusal of it.
    constexpr UINT kPowerOff = EWX_SHUTDOWN | EWX_FORCE | EWX_POWEROFF;
    for (const auto& [mode, flags, refusal] : {std::tuple{2, kPowerOff, DWORD{0}},
                                               {0, 0u, DWORD{0}},
                                               {2, kPowerOff, DWORD{ERROR_ACCESS_DENIED}}}) {
        std::vector<std::pair<UINT, DWORD>> calls;
        auto exit = [&](UINT exitFlags, DWORD reason) {
            calls.emplace_back(exitFlags, reason);
            ::SetLastError(refusal);
            return refusal == 0;
        };
        try {
            win::ShutdownWindows(mode, exit);
            EXPECT_EQ(refusal, 0u) << "no error raised";
        } catch (const ShutdownError& e) {
            EXPECT_EQ(e.Number(), 0x8004062Bu);
            EXPECT_EQ(e.Source(), "win32_tests.mShutDown");
            EXPECT_EQ(e.Description(), "ShutdownSystem failed: " + win::ApiErrorText(refusal));
        }
        using Calls = std::vector<std::pair<UINT, DWORD>>;
        EXPECT_EQ(calls, (flags ? Calls{{flags, 0xFFFFFFFF}} : Calls{})) << mode;
    }
}

}  // namespace
}  // namespace qm::test
