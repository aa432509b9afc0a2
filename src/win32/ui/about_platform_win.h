#pragma once

#include <windows.h>

#include "core/ui/about_actions.h"

namespace qm::win {

// Files and program starts for the system-information button.
class Win32SysInfoPlatform final : public SysInfoPlatform {
  public:
    bool FileExists(std::u16string_view path) override;
    std::u16string SystemFolder() override;
    bool StartProgram(std::u16string_view path) override;
};

// The system's Simple MAPI, loaded for each e-mail from the system folder, and the shell for
// mailto: addresses. The mail client's windows are owned by `owner`.
class Win32MailPlatform final : public MailPlatform {
  public:
    explicit Win32MailPlatform(HWND owner) : owner_(owner) {}
    MapiOutcome SendMailUnicode(std::string_view address, std::string_view subject) override;
    MapiOutcome SendMailAnsi(std::string_view address, std::string_view subject) override;
    bool OpenAddress(std::string_view address) override;

  private:
    HWND owner_;
};

}  // namespace qm::win
