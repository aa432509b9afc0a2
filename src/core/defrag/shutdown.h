#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace qm {

// The error a shutdown step raises: a number, the module that raised it and the system's own
// explanation. Callers swallow it: a failed shutdown leaves the program running.
class ShutdownError : public std::runtime_error {
  public:
    ShutdownError(std::uint32_t number, std::string source, std::string description)
        : std::runtime_error(description),
          number_(number),
          source_(std::move(source)),
          description_(std::move(description)) {}

    std::uint32_t Number() const { return number_; }
    const std::string& Source() const { return source_; }
    const std::string& Description() const { return description_; }

  private:
    std::uint32_t number_;
    std::string source_;
    std::string description_;
};

inline constexpr std::uint32_t kShutdownFailed = 0x8004062B;
inline constexpr std::uint32_t kNoPrivilegeValue = 0x8004062C;
inline constexpr std::uint32_t kNoCurrentProcess = 0x8004062D;
inline constexpr std::uint32_t kNoShutdownRight = 0x8004062E;
inline constexpr std::uint32_t kInvalidShutdownFlags = 0x8004062F;

// The system's side of a shutdown, one call per step so every failure can be reproduced.
// A step that fails leaves its error code for LastError().
class ShutdownApi {
  public:
    virtual ~ShutdownApi() = default;

    // The platform identifier of the version information (2 = NT family), or nothing when
    // the version cannot be read.
    virtual std::optional<int> PlatformId() = 0;
    virtual bool LookupShutdownPrivilege() = 0;
    virtual bool OpenCurrentProcess() = 0;
    virtual bool OpenProcessToken() = 0;
    // Enables the privilege found by LookupShutdownPrivilege in the token; the token is closed
    // whether or not this succeeds.
    virtual bool EnableTokenPrivilege() = 0;
    virtual bool RequestExit(std::uint32_t flags, std::uint32_t reason) = 0;
    virtual std::uint32_t LastError() = 0;
    // The system's message for an error code, line end included; empty when it has none.
    virtual std::string ErrorText(std::uint32_t code) = 0;
    // The running program's file name, e.g. "Quillmere.exe".
    virtual std::string ExecutableName() = 0;
};

// "Quillmere.mShutDown" for "Quillmere.exe": the source named in every shutdown error.
std::string ShutdownErrorSource(const std::string& executableName);

// Remembers the family of the system once it could be read.
class NtFamilyCache {
  public:
    bool IsNTCached(ShutdownApi& api);

  private:
    bool known_{};
    bool value_{};
};

// Enables the shutdown right of the program's own process; raises ShutdownError.
bool EnableShutdownPrivilege(ShutdownApi& api);

// Asks the system to end the session with the given exit flags (0 to 31). Returns true when
// the request was accepted; raises ShutdownError.
bool ShutdownSystem(ShutdownApi& api, NtFamilyCache& family, std::int32_t flags);

// 1 log off, 2 power off, 3 restart, all forced; any other mode does nothing.
void ShutdownWindows(ShutdownApi& api, NtFamilyCache& family, int mode);

// The exit flags of a mode, 0 for an unknown mode.
std::uint32_t ExitFlagsForMode(int mode);

}  // namespace qm
