#include "core/defrag/shutdown.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// The steps, in the order the privilege must be won before the exit is asked for.
const std::vector<std::string> kSteps = {"lookup", "process", "token", "adjust", "exit"};

std::vector<std::string> FirstSteps(std::size_t count) {
    return {kSteps.begin(), kSteps.begin() + static_cast<std::ptrdiff_t>(count)};
}

// Every step succeeds unless the test names it as failing; failures leave their own code.
class FakeShutdownApi final : public ShutdownApi {
  public:
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

    std::optional<int> platform = 2;
    std::string failing;
    std::vector<std::string> calls;
    std::uint32_t exitFlags = 0, exitReason = 0, lastError = 0;
    int versionReads = 0;

  private:
    bool Step(const std::string& name, std::uint32_t code) {
        calls.push_back(name);
        lastError = failing == name ? code : lastError;
        return failing != name;
    }
};

TEST(ShutdownWindows, MapsModesToForcedExitFlagsAndIgnoresOthers) {
    for (auto [mode, flags] : {std::pair{1, 4u}, {2, 13u}, {3, 6u}, {0, 0u}, {4, 0u}}) {
        FakeShutdownApi api;
        NtFamilyCache family;
        ShutdownWindows(api, family, mode);
        EXPECT_EQ(api.calls, FirstSteps(flags ? 5 : 0)) << mode;
        EXPECT_EQ(api.exitFlags, flags) << mode;
        EXPECT_EQ(api.exitReason, flags ? 0xFFFFFFFFu : 0u) << mode;
    }
}

TEST(ShutdownSystem, RaisesNumberedErrorsWithTheSystemsText) {
    const std::string noPrivilege =
        "Can't enable shutdown: You do not have the privileges to shutdown this system. ";
    const struct {
        const char* failing;
        std::int32_t flags;
        std::uint32_t number;
        std::string description;
        std::size_t steps;  // how far the steps got
    } cases[] = {
        {"", 32, 0x8004062F, "Invalid parameter to ShutdownSystem: 32", 0},
        {"", -1, 0x8004062F, "Invalid parameter to ShutdownSystem: -1", 0},
        {"", 0, 0, "", 5},  // 0 and 31 are the ends of what is accepted
        {"exit", 13, 0x8004062B, "ShutdownSystem failed: text 1314", 5},
        {"lookup", 13, 0x8004062C,
         "Can't enable shutdown: Can't find the SE_SHUTDOWN_NAME privilege value. [text 1313]", 1},
        {"process", 13, 0x8004062D,
         "Can't enable shutdown: Can't determine the current process. [text 6]", 2},
        {"token", 13, 0x8004062E, noPrivilege + "[text 5]", 3},
        {"adjust", 13, 0x8004062E, noPrivilege + "[text 1300]", 4},
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
    FakeShutdownApi older;
    older.platform = 1;
    NtFamilyCache olderFamily;
    EXPECT_TRUE(ShutdownSystem(older, olderFamily, 31));
    EXPECT_EQ(std::pair(older.calls, older.exitFlags),
              std::pair(std::vector<std::string>{"exit"}, 31u));
}

}  // namespace
}  // namespace qm
