#include "win32/ui/about_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include "core/app/splash_layout.h"
#include "core/ui/about_actions.h"
#include "core/ui/about_texts.h"
#include "win32/app/splash_window.h"
#include "win32/common/com_runtime.h"
#include "win32/common/text.h"
#include "win32/ui/about_platform_win.h"
#include "win32/ui/program_msgbox.h"
#include "win32/ui/registry_reader_win.h"

namespace qm::win {

std::wstring MakerEmailAddress() {
    return Widen(QM_MAKER_EMAIL);
}

std::wstring MakerWebAddress() {
    return Widen(QM_MAKER_WEB_URL);
}

namespace {

// The design, in twips of the client area.
constexpr int kClientWidth = 6060;
constexpr int kClientHeight = 4560;
constexpr TwipsBox kTitleBox{240, 130, 5527, 420};
constexpr TwipsBox kVersionBox{240, 565, 5527, 255};
constexpr TwipsBox kDescriptionBox{240, 885, 5527, 1830};
constexpr TwipsBox kDisclaimerBox{240, 3173, 4095, 420};  // the links are centred under it
constexpr TwipsBox kEmailBox{240, 3608, 4095, 255};
constexpr TwipsBox kWebRowBox{240, 4042, 4095, 255};
constexpr TwipsBox kOkBox{4560, 3216, 1260, 345};
constexpr TwipsBox kSysInfoBox{4560, 3651, 1260, 345};
constexpr int kWebGap = 60;  // between "Web site:" and its link

// The etched separator under the description: a grey line with a white one below it.
struct Line {
    int x1, x2, y;
    COLORREF colour;
};
constexpr Line kSeparator[] = {{90, 5941, 2912, RGB(128, 128, 128)},
                               {105, 5941, 2927, RGB(255, 255, 255)}};

constexpr FontStyle kTitleFont{.face = L"MS Sans Serif", .points = 13.5, .bold = true};
constexpr FontStyle kLinkFont{.face = L"MS Sans Serif", .points = 8.25, .underline = true};

constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
constexpr DWORD kLink = WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_NOTIFY;

int TextWidth(HWND control, HFONT font) {
    const std::wstring text = [control] {
        std::wstring t(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
        t.resize(
            static_cast<size_t>(::GetWindowTextW(control, t.data(), static_cast<int>(t.size()))));
        return t;
    }();
    HDC dc = ::GetDC(control);
    SIZE size{};
    {
        ScopedSelectObject select(dc, font);
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    }
    ::ReleaseDC(control, dc);
    return size.cx;
}

}  // namespace

void AboutDialog::OnInit() {
    unsigned major = 1, minor = 2;
    ReadOwnVersion(major, minor);
    versionLabel_ = SplashVersionText(major, minor);

    // The caption and the controls.
    ::SetWindowTextW(Hwnd(), Widen(AboutTexts::kCaption).c_str());
    AddControl(kIdTitle, L"STATIC", Widen(AboutTexts::kTitle), kLabel, kTitleBox, 0, kTitleFont);
    AddControl(kIdVersion, L"STATIC", Widen(versionLabel_), kLabel, kVersionBox);
    AddControl(kIdDescription, L"STATIC", Widen(AboutTexts::kDescription), kLabel, kDescriptionBox);
    AddControl(kIdDisclaimer, L"STATIC", Widen(AboutTexts::kInvitation),
               WS_VISIBLE | SS_CENTER | SS_NOPREFIX, kDisclaimerBox);
    AddControl(kIdEmailLink, L"STATIC", MakerEmailAddress(), kLink, kEmailBox, 0, kLinkFont);
    AddControl(kIdWebLabel, L"STATIC", Widen(AboutTexts::kWebSiteLabel), kLabel, kWebRowBox);
    AddControl(kIdWebLink, L"STATIC", MakerWebAddress(), kLink, kWebRowBox, 0, kLinkFont);
    AddControl(IDOK, L"BUTTON", Widen(AboutTexts::kOk),
               WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, kOkBox);
    AddControl(kIdSysInfo, L"BUTTON", Widen(AboutTexts::kSysInfo),
               WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kSysInfoBox);
    SetDefaultButton(IDOK);

    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    AddTooltip(kIdEmailLink, Widen(AboutTexts::kEmailTip));
    AddTooltip(kIdWebLink, Widen(AboutTexts::kWebTip));

    // The design is of the client area: the frame is whatever this system's caption needs.
    RECT outer{0, 0, Px(kClientWidth), Px(kClientHeight)};
    AdjustWindowRectAt(outer, static_cast<DWORD>(::GetWindowLongPtrW(Hwnd(), GWL_STYLE)),
                       static_cast<DWORD>(::GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE)), Dpi());
    SetFormSize(static_cast<int>(PixelsToTwips(outer.right - outer.left, Dpi())),
                static_cast<int>(PixelsToTwips(outer.bottom - outer.top, Dpi())));
    CentreOnWorkArea();
}

void AboutDialog::AddTooltip(int id, const std::wstring& text) {
    if (!tooltip_) {
        return;
    }
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
    std::wstring buffer = text;
    tool.lpszText = buffer.data();
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void AboutDialog::CentreOnWorkArea() {
    RECT window{};
    ::GetWindowRect(Hwnd(), &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(Hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        return;
    }
    const RECT& work = monitor.rcWork;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    ::SetWindowPos(Hwnd(), nullptr, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutDialog::OnLayout() {
    // The links are as wide as their text, so that the hand and the click belong to the text
    // alone: the e-mail address centred under the invitation, "Web site:" and its address
    // centred together below it.
    const HFONT linkFont = FontOf(kLinkFont);
    const PixelBox email = ToPixels(kEmailBox, Dpi());
    const int emailWidth = TextWidth(Item(kIdEmailLink), linkFont) + 1;
    ::SetWindowPos(Item(kIdEmailLink), nullptr, email.left + (email.width - emailWidth) / 2,
                   email.top, emailWidth, email.height, SWP_NOZORDER | SWP_NOACTIVATE);

    const PixelBox row = ToPixels(kWebRowBox, Dpi());
    const int labelWidth = TextWidth(Item(kIdWebLabel), FontOf(kDialogFont)) + 1;
    const int webWidth = TextWidth(Item(kIdWebLink), linkFont) + 1;
    const int gap = Px(kWebGap);
    const int left = row.left + (row.width - labelWidth - gap - webWidth) / 2;
    ::SetWindowPos(Item(kIdWebLabel), nullptr, left, row.top, labelWidth, row.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(Item(kIdWebLink), nullptr, left + labelWidth + gap, row.top, webWidth,
                   row.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutDialog::PaintSeparator(HDC dc) {
    for (const Line& line : kSeparator) {
        UniqueHpen pen(::CreatePen(PS_SOLID, 1, line.colour));
        ScopedSelectObject select(dc, pen.get());
        const int y = Px(line.y);
        ::MoveToEx(dc, Px(line.x1), y, nullptr);
        // LineTo stops short of its end point; the line ends on it.
        ::LineTo(dc, Px(line.x2) + 1, y);
    }
}

bool AboutDialog::IsLink(HWND control) const {
    return control && (control == Item(kIdEmailLink) || control == Item(kIdWebLink));
}

bool AboutDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_CTLCOLORSTATIC:
            if (IsLink(reinterpret_cast<HWND>(lp))) {
                const HDC dc = reinterpret_cast<HDC>(wp);
                ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHT));
                ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
                result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
                return true;
            }
            return false;
        case WM_SETCURSOR:
            if (IsLink(reinterpret_cast<HWND>(wp))) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                result = TRUE;
                return true;
            }
            return false;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = ::BeginPaint(Hwnd(), &ps);
            PaintSeparator(dc);
            ::EndPaint(Hwnd(), &ps);
            result = 0;
            return true;
        }
        default:
            return false;
    }
}

void AboutDialog::OnCommand(int id, int code, HWND control) {
    // Buttons and links both say they were clicked with code 0 (BN_CLICKED, STN_CLICKED).
    if (code == 0) {
        switch (id) {
            case IDOK:
                Close();
                return;
            case kIdSysInfo:
                StartSysInfo();
                return;
            case kIdEmailLink:
                OpenEmailToMaker();
                return;
            case kIdWebLink:
                OpenWebSite();
                return;
            default:
                break;
        }
    }
    // Esc, from whichever control has the focus, and the close box.
    Dialog::OnCommand(id, code, control);
}

void AboutDialog::StartSysInfo() {
    Win32RegistryReader registry;
    Win32SysInfoPlatform platform;
    if (!qm::StartSysInfo(registry, platform)) {
        ProgramMsgBox().MsgBox(AboutTexts::kSysInfoUnavailable, 0, "");
    }
}

void AboutDialog::OpenWebSite() {
    // A browser that cannot be started is not reported.
    EnsureComApartment();
    ::ShellExecuteW(nullptr, L"open", MakerWebAddress().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void AboutDialog::OpenEmailToMaker() {
    Win32MailPlatform mail(Hwnd());
    if (!ComposeEmail(mail, Narrow(MakerEmailAddress()), MailSubject(versionLabel_)) &&
        !IsClosing()) {
        ProgramMsgBox().MsgBox(AboutTexts::kMailProblem, 0, "");
    }
}

}  // namespace qm::win
