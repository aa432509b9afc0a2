#include "core/defrag/shutdown.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using Steps = std::vector<std::string>;

// Every step succeeds unless the test names it as failing; failures leave their own code.
// The steps come in the order the privilege must be won before the exit is asked for.
struct FakeShutdownApi final : ShutdownApi {
    std::optional<int> PlatformId() override { return ++versionReads, platform; }
    bool LookupShutdownPrivilege() override { return Step("lookup", 1313); }
    bool OpenCurrentProcess() override { return Step("process", 6); }
    bool OpenProcessToken() override { return Step("token", 5); }
    bool EnableTokenPrivilege() override { return Step("adjust", 1300); }
    bool RequestExit(std::uint32_t flags, std::uint32_t reason) override {
        exitFlags = flags;
        exitReason = reason;
        return Step("exit", 1314);
    }
    std::uint32_t LastError() override { return lastError; }
    std::string ErrorText(std::uint32_t code) override { return "text " + std::to_string(code); }
    std::string ExecutableName() override { return "Quillmere.exe"; }
    bool Step(const std::string& name, std::uint32_t code) {
        calls.push_back(name);
        lastError = failing == name ? code : lastError;
        return failing != name;
    }

    std::optional<int> platform = 2;
    std::string failing;
    Steps calls;
    std::uint32_t exitFlags = 0, exitReason = 0, lastError = 0;
    int versionReads = 0;
};

const Steps kAllSteps = {"lookup", "process", "token", "adjust", "exit"};

TEST(ShutdownWindows, MapsModesToForcedExitFlagsAndIgnoresOthers) {
    for (auto [mode, flags] : {std::pair{1, 4u}, {2, 13u}, {3, 6u}, {0, 0u}, {4, 0u}}) {
        FakeShutdownApi api;
        NtFamilyCache family;
        ShutdownWindows(api, family, mode);
        EXPECT_EQ(std::tuple(api.calls, api.exitFlags, api.exitReason),
                  std::tuple(flags ? kAllSteps : Steps{}, flags, flags ? 0xFFFFFFFFu : 0u))
            << mode;
    }
}

TEST(ShutdownSystem, RaisesNumberedErrorsWithTheSystemsText) {
    const std::string noPrivilege =
        "Can't enable shutdown: You do not have the privileges to shutdown this system. ";
    // The failing step, the flags, the error and how far the steps got; 0 and 31 are the ends
    // of what is accepted.
    const std::tuple<const char*, std::int32_t, std::uint32_t, std::string, int> cases[] = {
        {"", 32, 0x8004062F, "Invalid parameter to ShutdownSystem: 32", 0},
        {"", -1, 0x8004062F, "Invalid parameter to ShutdownSystem: -1", 0},
        {"", 0, 0, "", 5},
        {"exit", 13, 0x8004062B, "ShutdownSystem failed: text 1314", 5},
        {"lookup", 13, 0x8004062C,
         "Can't enable shutdown: Can't find the SE_SHUTDOWN_NAME privilege value. [text 1313]", 1},
        {"process", 13, 0x8004062D,
         "Can't enable shutdown: Can't determine the current process. [text 6]", 2},
        {"token", 13, 0x8004062E, noPrivilege + "[text 5]", 3},
        {"adjust", 13, 0x8004062E, noPrivilege + "[text 1300]", 4},
    };
    for (const auto& [failing, flags, number, description, steps] : cases) {
        FakeShutdownApi api;
        api.failing = failing;
        NtFamilyCache family;
        try {
            EXPECT_TRUE(ShutdownSystem(api, family, flags));
            EXPECT_EQ(number, 0u) << "no error for " << failing << " " << flags;
        } catch (const ShutdownError& e) {
            EXPECT_EQ(std::tuple(e.Number(), e.Source(), e.Description(), std::string(e.what())),
                      std::tuple(number, "Quillmere.mShutDown", description, description));
        }
        EXPECT_EQ(api.calls, Steps(kAllSteps.begin(), kAllSteps.begin() + steps)) << failing;
    }
    EXPECT_EQ(ShutdownErrorSource("my.tool.exe"), "my.tool.mShutDown");  // the extension only
    EXPECT_EQ(ShutdownErrorSource("noext"), "noext.mShutDown");
}

TEST(NtFamilyCache, AsksAgainAfterAFailedReadThenKeepsTheAnswerAndTheOlderFamilyNeedsNoPrivilege) {
    FakeShutdownApi api;
    api.platform = std::nullopt;
    NtFamilyCache family;
    EXPECT_FALSE(family.IsNTCached(api));
    api.platform = 2;
    EXPECT_TRUE(family.IsNTCached(api));
    api.platform = 1;
    EXPECT_TRUE(family.IsNTCached(api));
    EXPECT_EQ(api.versionReads, 2);
    NtFamilyCache olderFamily;
    api.calls.clear();
    EXPECT_TRUE(ShutdownSystem(api, olderFamily, 31));
    EXPECT_EQ(std::pair(api.calls, api.exitFlags), std::pair(Steps{"exit"}, 31u));
}

}  // namespace
}  // namespace qm
