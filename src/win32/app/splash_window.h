#pragma once

#include <windows.h>

#include <string>

#include "win32/common/base_window.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

// The start-up splash: a rounded magenta window with the product name, the version
// and a "please wait" line. ShowModal() returns when it has closed itself, three seconds
// after it was created; the program's messages keep flowing meanwhile.
class SplashWindow : public BaseWindow<SplashWindow> {
  public:
    static constexpr const wchar_t* kClassName = L"QuillmereSplash";

    explicit SplashWindow(HINSTANCE instance);
    ~SplashWindow();
    SplashWindow(const SplashWindow&) = delete;
    SplashWindow& operator=(const SplashWindow&) = delete;

    void ShowModal();

  private:
    friend class BaseWindow<SplashWindow>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    bool Create();
    // On creation: the version text, fonts and artwork, the rounded shape and the close timer.
    void PrepareContents();
    void Paint(HDC dc, const RECT& client);

    HINSTANCE instance_;
    UniqueHfont titleFont_;
    UniqueHfont versionFont_;
    UniqueHfont messageFont_;
    UniqueHicon artwork_;
    std::wstring versionText_;
    bool closed_ = false;
};

// The colour of the "please wait" line.
COLORREF SplashMessageColour();

// Major and minor version of this executable, from its own version resource.
bool ReadOwnVersion(unsigned& major, unsigned& minor);

}  // namespace qm::win
