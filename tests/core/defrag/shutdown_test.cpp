#include "core/defrag/shutdown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm {
namespace {

// The steps, in the order the privilege must be won before the exit is asked for.
const std::vector<std::string> kSteps = {"lookup", "process", "token", "adjust", "exit"};

std::vector<std::string> FirstSteps(size_t count) {
    return {kSteps.begin(), kSteps.begin() + count};
}

// Every step succeeds unless the test names it as failing; failures leave their own code.
class FakeShutdownApi final : public ShutdownApi {
  public:
    std::optional<int> platform = 2;
    std::string failing;
    std::vector<std::string> calls;
    std::uint32_t exitFlags = 0;
    std::uint32_t exitReason = 0;
    int versionReads = 0;

    std::optional<int> PlatformId() override {
        ++versionReads;
        return platform;
    }
    bool LookupShutdownPrivilege() override { return Step("lookup", 1313); }
    bool OpenCurrentProcess() override { return Step("process", 6); }
    bool OpenProcessToken() override { return Step("token", 5); }
    bool EnableTokenPrivilege() override { return Step("adjust", 1300); }
    bool RequestExit(std::uint32_t flags, std::uint32_t reason) override {
        exitFlags = flags;
        exitReason = reason;
        return Step("exit", 1314);
    }
    std::uint32_t LastError() override { return lastError_; }
    std::string ErrorText(std::uint32_t code) override {
        return "system text " + std::to_string(code) + "\r\n";
    }
    std::string ExecutableName() override { return "Quillmere.exe"; }

  private:
    bool Step(const std::string& name, std::uint32_t code) {
        calls.push_back(name);
        if (failing == name) {
            lastError_ = code;
        }
        return failing != name;
    }
    std::uint32_t lastError_ = 0;
};

TEST(ShutdownWindows, MapsModesToForcedExitFlagsAndIgnoresOthers) {
    struct Case {
        int mode;
        std::uint32_t flags;  // 0: nothing is called
    };
    const Case cases[] = {{1, 4}, {2, 13}, {3, 6}, {0, 0}, {4, 0}};
    for (const auto& c : cases) {
        FakeShutdownApi api;
        NtFamilyCache family;
        ShutdownWindows(api, family, c.mode);
        EXPECT_EQ(api.calls, FirstSteps(c.flags ? 5 : 0)) << c.mode;
        EXPECT_EQ(api.exitFlags, c.flags) << c.mode;
        EXPECT_EQ(api.exitReason, c.flags ? 0xFFFFFFFFu : 0u) << c.mode;
    }
}

TEST(ShutdownSystem, TheOlderFamilySkipsThePrivilege) {
    FakeShutdownApi api;
    api.platform = 1;
    NtFamilyCache family;
    EXPECT_TRUE(ShutdownSystem(api, family, 31));
    EXPECT_EQ(api.calls, std::vector<std::string>{"exit"});
    EXPECT_EQ(api.exitFlags, 31u);
}

TEST(ShutdownSystem, RaisesNumberedErrorsWithTheSystemsText) {
    const std::string noPrivilege =
        "Can't enable shutdown: You do not have the privileges to shutdown this system. ";
    struct Case {
        const char* failing;
        std::int32_t flags;
        std::uint32_t number;
        std::string description;
        size_t steps;  // how far the steps got
    };
    const Case cases[] = {
        {"", 32, 0x8004062F, "Invalid parameter to ShutdownSystem: 32", 0},
        {"", -1, 0x8004062F, "Invalid parameter to ShutdownSystem: -1", 0},
        {"", 0, 0, "", 5},  // 0 and 31 are the ends of what is accepted
        {"exit", 13, 0x8004062B, "ShutdownSystem failed: system text 1314\r\n", 5},
        {"lookup", 13, 0x8004062C,
         "Can't enable shutdown: Can't find the SE_SHUTDOWN_NAME privilege value. "
         "[system text 1313\r\n]",
         1},
        {"process", 13, 0x8004062D,
         "Can't enable shutdown: Can't determine the current process. [system text 6\r\n]", 2},
        {"token", 13, 0x8004062E, noPrivilege + "[system text 5\r\n]", 3},
        {"adjust", 13, 0x8004062E, noPrivilege + "[system text 1300\r\n]", 4},
    };
    for (const auto& c : cases) {
        FakeShutdownApi api;
        api.failing = c.failing;
        NtFamilyCache family;
        try {
            EXPECT_TRUE(ShutdownSystem(api, family, c.flags));
            EXPECT_EQ(c.number, 0u) << "no error for " << c.failing << " " << c.flags;
        } catch (const ShutdownError& e) {
            EXPECT_EQ(e.Number(), c.number) << c.failing;
            EXPECT_EQ(e.Source(), "Quillmere.mShutDown");
            EXPECT_EQ(e.Description(), c.description);
            EXPECT_EQ(e.what(), c.description);
        }
        EXPECT_EQ(api.calls, FirstSteps(c.steps)) << c.failing;
    }
}

TEST(ShutdownErrorSource, DropsTheExtensionOnly) {
    EXPECT_EQ(ShutdownErrorSource("my.tool.exe"), "my.tool.mShutDown");
    EXPECT_EQ(ShutdownErrorSource("noext"), "noext.mShutDown");
}

TEST(NtFamilyCache, AsksAgainAfterAFailedReadThenKeepsTheAnswer) {
    FakeShutdownApi api;
    api.platform = std::nullopt;
    NtFamilyCache family;
    EXPECT_FALSE(family.IsNTCached(api));
    api.platform = 2;
    EXPECT_TRUE(family.IsNTCached(api));
    api.platform = 1;
    EXPECT_TRUE(family.IsNTCached(api));
    EXPECT_EQ(api.versionReads, 2);
}

}  // namespace
}  // namespace qm
