#include "core/defrag/shutdown.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm {
namespace {

// Every step succeeds unless the test names it as failing; failures leave their own code.
class FakeShutdownApi final : public ShutdownApi {
  public:
    std::optional<int> platform = 2;
    std::string failing;  // "lookup", "process", "token", "adjust" or "exit"
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
            return false;
        }
        return true;
    }
    std::uint32_t lastError_ = 0;
};

TEST(ShutdownWindows, MapsModesToForcedExitFlags) {
    struct Case {
        int mode;
        std::uint32_t flags;
    };
    const Case cases[] = {{1, 4}, {2, 13}, {3, 6}};
    for (const auto& c : cases) {
        FakeShutdownApi api;
        NtFamilyCache family;
        ShutdownWindows(api, family, c.mode);
        EXPECT_EQ(api.calls,
                  (std::vector<std::string>{"lookup", "process", "token", "adjust", "exit"}));
        EXPECT_EQ(api.exitFlags, c.flags) << c.mode;
        EXPECT_EQ(api.exitReason, 0xFFFFFFFFu);
    }
}

TEST(ShutdownWindows, IgnoresOtherModes) {
    for (int mode : {0, 4, -1, 99}) {
        FakeShutdownApi api;
        NtFamilyCache family;
        ShutdownWindows(api, family, mode);
        EXPECT_TRUE(api.calls.empty()) << mode;
    }
}

TEST(ShutdownSystem, OnTheOlderFamilyCallsTheExitDirectly) {
    FakeShutdownApi api;
    api.platform = 1;
    NtFamilyCache family;
    EXPECT_TRUE(ShutdownSystem(api, family, 13));
    EXPECT_EQ(api.calls, (std::vector<std::string>{"exit"}));
}

TEST(ShutdownSystem, AcceptsFlagsFromZeroToThirtyOne) {
    for (int flags : {0, 31}) {
        FakeShutdownApi api;
        NtFamilyCache family;
        EXPECT_TRUE(ShutdownSystem(api, family, flags));
        EXPECT_EQ(api.exitFlags, static_cast<std::uint32_t>(flags));
    }
}

struct ErrorCase {
    const char* failing;
    std::int32_t flags;
    std::uint32_t number;
    const char* description;
    std::vector<std::string> calls;
};

TEST(ShutdownSystem, RaisesNumberedErrorsWithTheSystemsText) {
    const ErrorCase cases[] = {
        {"", 32, 0x8004062F, "Invalid parameter to ShutdownSystem: 32", {}},
        {"", -1, 0x8004062F, "Invalid parameter to ShutdownSystem: -1", {}},
        {"exit",
         13,
         0x8004062B,
         "ShutdownSystem failed: system text 1314\r\n",
         {"lookup", "process", "token", "adjust", "exit"}},
        {"lookup",
         13,
         0x8004062C,
         "Can't enable shutdown: Can't find the SE_SHUTDOWN_NAME privilege value. "
         "[system text 1313\r\n]",
         {"lookup"}},
        {"process",
         13,
         0x8004062D,
         "Can't enable shutdown: Can't determine the current process. [system text 6\r\n]",
         {"lookup", "process"}},
        {"token",
         13,
         0x8004062E,
         "Can't enable shutdown: You do not have the privileges to shutdown this system. "
         "[system text 5\r\n]",
         {"lookup", "process", "token"}},
        {"adjust",
         13,
         0x8004062E,
         "Can't enable shutdown: You do not have the privileges to shutdown this system. "
         "[system text 1300\r\n]",
         {"lookup", "process", "token", "adjust"}},
    };
    for (const auto& c : cases) {
        FakeShutdownApi api;
        api.failing = c.failing;
        NtFamilyCache family;
        try {
            ShutdownSystem(api, family, c.flags);
            ADD_FAILURE() << "no error for " << c.failing << " " << c.flags;
        } catch (const ShutdownError& e) {
            EXPECT_EQ(e.Number(), c.number) << c.failing;
            EXPECT_EQ(e.Source(), "Quillmere.mShutDown");
            EXPECT_EQ(e.Description(), c.description);
            EXPECT_STREQ(e.what(), c.description);
        }
        EXPECT_EQ(api.calls, c.calls) << c.failing;
    }
}

TEST(ShutdownErrorSource, DropsTheExtensionOnly) {
    EXPECT_EQ(ShutdownErrorSource("Quillmere.exe"), "Quillmere.mShutDown");
    EXPECT_EQ(ShutdownErrorSource("win32_tests.exe"), "win32_tests.mShutDown");
    EXPECT_EQ(ShutdownErrorSource("my.tool.exe"), "my.tool.mShutDown");
    EXPECT_EQ(ShutdownErrorSource("noext"), "noext.mShutDown");
}

TEST(NtFamilyCache, ReadsTheVersionOnceItIsKnown) {
    FakeShutdownApi api;
    NtFamilyCache family;
    EXPECT_TRUE(family.IsNTCached(api));
    api.platform = 1;
    EXPECT_TRUE(family.IsNTCached(api));
    EXPECT_EQ(api.versionReads, 1);
}

TEST(NtFamilyCache, AsksAgainAfterAFailedRead) {
    FakeShutdownApi api;
    api.platform = std::nullopt;
    NtFamilyCache family;
    EXPECT_FALSE(family.IsNTCached(api));
    api.platform = 2;
    EXPECT_TRUE(family.IsNTCached(api));
    EXPECT_EQ(api.versionReads, 2);
}

TEST(NtFamilyCache, OtherPlatformsAreNotNt) {
    for (int platform : {0, 1, 3}) {
        FakeShutdownApi api;
        api.platform = platform;
        NtFamilyCache family;
        EXPECT_FALSE(family.IsNTCached(api)) << platform;
    }
}

}  // namespace
}  // namespace qm
