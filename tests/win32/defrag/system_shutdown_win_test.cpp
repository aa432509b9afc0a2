// The shutdown steps on the real system, with the exit call itself always replaced: nothing
// here may end the session.
#include <gtest/gtest.h>

#include <vector>

#include "win32/defrag/system_shutdown.h"

namespace qm::test {
namespace {

struct ExitRecorder {
    struct Call {
        UINT flags;
        DWORD reason;
    };
    std::vector<Call> calls;
    DWORD failWith = 0;  // 0: the request is accepted

    win::ExitCall Call() {
        return [this](UINT flags, DWORD reason) {
            calls.push_back({flags, reason});
            if (failWith != 0) {
                ::SetLastError(failWith);
                return false;
            }
            return true;
        };
    }
};

TEST(ApiErrorText, GivesTheSystemsMessageWithItsLineEnd) {
    const std::string text = win::ApiErrorText(ERROR_ACCESS_DENIED);
    ASSERT_GE(text.size(), 3u);
    EXPECT_LE(text.size(), 255u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(win::ApiErrorText(0x20001234), "") << "a code without a message";
}

TEST(ShutdownWin, ThisSystemIsOfTheNtFamily) {
    EXPECT_TRUE(win::IsNTCached());
    EXPECT_TRUE(win::IsNTCached());
}

TEST(ShutdownWin, ThePrivilegeCanBeEnabledForThisProcess) {
    EXPECT_TRUE(win::EnableShutdownPrivilege());
}

TEST(ShutdownWin, ModesReachTheExitCallWithTheirForcedFlags) {
    struct Case {
        int mode;
        UINT flags;
    };
    const Case cases[] = {{1, EWX_LOGOFF | EWX_FORCE},
                          {2, EWX_SHUTDOWN | EWX_FORCE | EWX_POWEROFF},
                          {3, EWX_REBOOT | EWX_FORCE}};
    for (const auto& c : cases) {
        ExitRecorder exit;
        win::ShutdownWindows(c.mode, exit.Call());
        ASSERT_EQ(exit.calls.size(), 1u) << c.mode;
        EXPECT_EQ(exit.calls[0].flags, c.flags) << c.mode;
        EXPECT_EQ(exit.calls[0].reason, 0xFFFFFFFFu);
    }
}

TEST(ShutdownWin, OtherModesDoNothing) {
    ExitRecorder exit;
    for (int mode : {0, 4, -1}) {
        win::ShutdownWindows(mode, exit.Call());
    }
    EXPECT_TRUE(exit.calls.empty());
}

TEST(ShutdownWin, ARefusedExitRaisesWithTheSystemsText) {
    ExitRecorder exit;
    exit.failWith = ERROR_ACCESS_DENIED;
    try {
        win::ShutdownWindows(2, exit.Call());
        FAIL() << "no error raised";
    } catch (const ShutdownError& e) {
        EXPECT_EQ(e.Number(), 0x8004062Bu);
        EXPECT_EQ(e.Source(), "win32_tests.mShutDown");
        EXPECT_EQ(e.Description(),
                  "ShutdownSystem failed: " + win::ApiErrorText(ERROR_ACCESS_DENIED));
    }
}

TEST(ShutdownWin, FlagsOutOfRangeRaiseBeforeAnythingIsTouched) {
    ExitRecorder exit;
    for (int flags : {32, -1}) {
        try {
            win::ShutdownSystem(flags, exit.Call());
            ADD_FAILURE() << "no error for " << flags;
        } catch (const ShutdownError& e) {
            EXPECT_EQ(e.Number(), 0x8004062Fu);
            EXPECT_EQ(e.Description(),
                      "Invalid parameter to ShutdownSystem: " + std::to_string(flags));
        }
    }
    EXPECT_TRUE(exit.calls.empty());
}

}  // namespace
}  // namespace qm::test
