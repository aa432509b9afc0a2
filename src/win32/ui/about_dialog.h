#pragma once

#include <windows.h>

#include <string>

#include "win32/common/dialog.h"

namespace qm::win {

// The maker's addresses shown in the About dialog's links (build settings).
std::wstring MakerEmailAddress();
std::wstring MakerWebAddress();

// The About dialog: title, version, description, the maker's e-mail and web links
// and a button that starts the system-information program. Shown modeless from the tray; each
// showing builds it afresh.
class AboutDialog : public Dialog {
  public:
    // Control ids; OK is IDOK, so that Enter presses it.
    enum : int {
        kIdTitle = 101,
        kIdVersion,
        kIdDescription,
        kIdDisclaimer,
        kIdEmailLink,
        kIdWebLabel,
        kIdWebLink,
        kIdSysInfo,
    };

    // `StartSysInfo`: starts the system-information program, or says that it is unavailable.
    void StartSysInfo();

  protected:
    void OnInit() override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnLayout() override;

  private:
    void OpenWebSite();
    void OpenEmailToMaker();
    bool IsLink(HWND control) const;
    void AddTooltip(int id, const std::wstring& text);
    void PaintSeparator(HDC dc);
    void CentreOnWorkArea();

    std::string versionLabel_;
    HWND tooltip_ = nullptr;  // owned by the dialog's window, which destroys it
};

}  // namespace qm::win
