#pragma once

#include <string>
#include <string_view>

#include "core/ui/registry_value.h"

namespace qm {

// What starting the system-information program needs from the system besides the registry.
class SysInfoPlatform {
  public:
    virtual ~SysInfoPlatform() = default;
    // Whether a file (not a folder) is at the path.
    virtual bool FileExists(std::u16string_view path) = 0;
    // The system folder ("C:\Windows\System32"), without a closing backslash.
    virtual std::u16string SystemFolder() = 0;
    // Starts the program in a normal, focused window; false when it did not start.
    virtual bool StartProgram(std::u16string_view path) = 0;
};

// `StartSysInfo`: starts the program that the registry names as the system-information tool
// ("PATH" of the MSINFO key, else MSINFO32.EXE in the "MSINFO" folder of the shared-tools
// locations), else the system's own msinfo32.exe. False when none started: the caller then
// says that system information is unavailable.
bool StartSysInfo(RegistryReader& registry, SysInfoPlatform& platform);

// How one attempt of the system's mail interface ended.
enum class MapiOutcome {
    kUnavailable,  // no mail library, or it lacks the call
    kSent,         // the mail client took the message
    kCancelled,    // the user cancelled the log-on or the message
    kFailed,       // any other error: commonly, no mail client is set up
};

// What composing an e-mail needs from the system.
class MailPlatform {
  public:
    virtual ~MailPlatform() = default;
    // Simple MAPI with the mail client's own window shown: the Unicode call, and the older
    // one that is all Windows 7 has.
    virtual MapiOutcome SendMailUnicode(std::string_view address, std::string_view subject) = 0;
    virtual MapiOutcome SendMailAnsi(std::string_view address, std::string_view subject) = 0;
    // Opens an address (a mailto: address here) with the program the system has for it.
    virtual bool OpenAddress(std::string_view address) = 0;
};

// Opens a new e-mail to `address` with `subject` in the user's mail client: through the
// system's mail interface, or through a mailto: address where no client answers that. False
// when the e-mail could not be composed (or the user cancelled): the caller reports a problem.
bool ComposeEmail(MailPlatform& mail, std::string_view address, std::string_view subject);

}  // namespace qm
