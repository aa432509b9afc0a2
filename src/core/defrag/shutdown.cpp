#include "core/defrag/shutdown.h"

namespace qm {
namespace {

constexpr std::uint32_t kAnyReason = 0xFFFFFFFF;

[[noreturn]] void Raise(ShutdownApi& api, std::uint32_t number, const std::string& description) {
    throw ShutdownError(number, ShutdownErrorSource(api.ExecutableName()), description);
}

// The system's reason for the step that just failed, in brackets.
std::string Bracketed(ShutdownApi& api) {
    return "[" + api.ErrorText(api.LastError()) + "]";
}

}  // namespace

std::string ShutdownErrorSource(const std::string& executableName) {
    auto dot = executableName.find_last_of('.');
    return executableName.substr(0, dot) + ".mShutDown";
}

bool NtFamilyCache::IsNTCached(ShutdownApi& api) {
    if (known_) {
        return value_;
    }
    auto platform = api.PlatformId();
    if (!platform) {
        return value_;  // asked again next time
    }
    value_ = *platform == 2;
    known_ = true;
    return value_;
}

bool EnableShutdownPrivilege(ShutdownApi& api) {
    const std::string noRight =
        "Can't enable shutdown: You do not have the privileges to shutdown this system. ";
    if (!api.LookupShutdownPrivilege()) {
        Raise(api, kNoPrivilegeValue,
              "Can't enable shutdown: Can't find the SE_SHUTDOWN_NAME privilege value. " +
                  Bracketed(api));
    }
    if (!api.OpenCurrentProcess()) {
        Raise(api, kNoCurrentProcess,
              "Can't enable shutdown: Can't determine the current process. " + Bracketed(api));
    }
    if (!api.OpenProcessToken()) {
        Raise(api, kNoShutdownRight, noRight + Bracketed(api));
    }
    if (!api.EnableTokenPrivilege()) {
        Raise(api, kNoShutdownRight, noRight + Bracketed(api));
    }
    return true;
}

bool ShutdownSystem(ShutdownApi& api, NtFamilyCache& family, std::int32_t flags) {
    if (flags < 0 || flags > 31) {
        Raise(api, kInvalidShutdownFlags,
              "Invalid parameter to ShutdownSystem: " + std::to_string(flags));
    }
    if (family.IsNTCached(api) && !EnableShutdownPrivilege(api)) {
        return false;
    }
    if (!api.RequestExit(static_cast<std::uint32_t>(flags), kAnyReason)) {
        Raise(api, kShutdownFailed, "ShutdownSystem failed: " + api.ErrorText(api.LastError()));
    }
    return true;
}

std::uint32_t ExitFlagsForMode(int mode) {
    switch (mode) {
        case 1:
            return 4;  // log off, forced
        case 2:
            return 13;  // shut down + forced + power off
        case 3:
            return 6;  // restart, forced
        default:
            return 0;
    }
}

void ShutdownWindows(ShutdownApi& api, NtFamilyCache& family, int mode) {
    std::uint32_t flags = ExitFlagsForMode(mode);
    if (flags != 0) {
        ShutdownSystem(api, family, static_cast<std::int32_t>(flags));
    }
}

}  // namespace qm
