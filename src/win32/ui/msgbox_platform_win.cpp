#include "win32/ui/msgbox_platform_win.h"

#include <mmsystem.h>

#include <algorithm>

#include "core/common/rounding.h"
#include "win32/common/system_library.h"
#include "win32/common/text.h"
#include "win32/ui/message_box_window.h"
#include "win32/ui/modal_scope.h"
#include "win32/ui/msgbox_fonts.h"

namespace qm::win {
namespace {

constexpr int kDefaultSoundId = 103;  // no such sound in the program: the system default plays

}  // namespace

TwipsPerPixel ScreenTwipsPerPixel() {
    HDC screen = ::GetDC(nullptr);
    const int dpiX = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
    const int dpiY = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) {
        ::ReleaseDC(nullptr, screen);
    }
    return TwipsPerPixel{1440.0 / (dpiX > 0 ? dpiX : 96), 1440.0 / (dpiY > 0 ? dpiY : 96)};
}

Win32MsgBoxPlatform::Win32MsgBoxPlatform()
    : tpp_(ScreenTwipsPerPixel()),
      headingFont_(CreateMsgBoxFont(MsgBoxFont::kHeading, tpp_)),
      bodyFont_(CreateMsgBoxFont(MsgBoxFont::kBody, tpp_)) {}

Win32MsgBoxPlatform::~Win32MsgBoxPlatform() = default;

std::optional<MsgBoxOwner> Win32MsgBoxPlatform::ActiveOwner() {
    owner_ = ::GetActiveWindow();
    if (!owner_) {
        return std::nullopt;
    }
    MsgBoxOwner owner;
    RECT r{};
    if (::GetWindowRect(owner_, &r)) {
        owner.rect = TwipsRect{RoundHalfEven(r.left * tpp_.x), RoundHalfEven(r.top * tpp_.y),
                               RoundHalfEven((r.right - r.left) * tpp_.x),
                               RoundHalfEven((r.bottom - r.top) * tpp_.y)};
    }
    wchar_t caption[256] = {};
    const int length = ::GetWindowTextW(owner_, caption, 256);
    owner.caption = Narrow(std::wstring_view(caption, std::clamp(length, 0, 255)));
    return owner;
}

double Win32MsgBoxPlatform::ScreenWidthTwips() {
    return ::GetSystemMetrics(SM_CXSCREEN) * tpp_.x;
}

double Win32MsgBoxPlatform::ScreenHeightTwips() {
    return ::GetSystemMetrics(SM_CYSCREEN) * tpp_.y;
}

double Win32MsgBoxPlatform::IconWidthTwips() {
    return ::GetSystemMetrics(SM_CXICON) * tpp_.x;
}

double Win32MsgBoxPlatform::IconHeightTwips() {
    return ::GetSystemMetrics(SM_CYICON) * tpp_.y;
}

TextExtent Win32MsgBoxPlatform::MeasureText(std::string_view text, MsgBoxFont font) {
    const SIZE size = MeasureLabel(
        font == MsgBoxFont::kHeading ? headingFont_.get() : bodyFont_.get(), Widen(text));
    return TextExtent{tpp_.ToTwipsX(size.cx), tpp_.ToTwipsY(size.cy)};
}

std::optional<int> Win32MsgBoxPlatform::Show(const MsgBoxRequest& request, MsgBoxShared& shared) {
    // Modeless boxes that have been answered since the last message.
    std::erase_if(modeless_, [](const auto& w) { return w->Closed() && !w->Hwnd(); });

    auto window = std::make_unique<MessageBoxWindow>(request, shared, tpp_);
    if (!window->Create(owner_)) {
        return std::nullopt;
    }
    if (request.soundBeep) {
        // The sound library is loaded the first time a box plays a sound, not at start-up.
        using PlaySoundFn = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
        if (const auto play = SystemFunction<PlaySoundFn>(L"winmm.dll", "PlaySoundW")) {
            play(MAKEINTRESOURCEW(kDefaultSoundId), ::GetModuleHandleW(nullptr),
                 SND_RESOURCE | SND_ASYNC);
        }
    }
    if (!request.modal) {
        window->Show();
        modeless_.push_back(std::move(window));
        return kTimedOut;
    }
    {
        // Enabled again before the box goes, so activation returns to the owner.
        ThreadWindowsDisabled others(window->Hwnd());
        window->Show();
        RunNestedLoop([&window] { return window->Closed(); });
    }
    return window->Result();
}

}  // namespace qm::win
