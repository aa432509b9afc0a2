#include "win32/defrag/gradient_painter.h"

#include "core/defrag/gradient.h"
#include "win32/common/unique_handle.h"

namespace qm::win {
namespace {

constexpr int kTwipsPerInch = 1440;

struct Scale {
    int dpiX;
    int dpiY;
};

Scale ScreenScale() {
    HDC screen = ::GetDC(nullptr);
    Scale scale{::GetDeviceCaps(screen, LOGPIXELSX), ::GetDeviceCaps(screen, LOGPIXELSY)};
    ::ReleaseDC(nullptr, screen);
    if (scale.dpiX <= 0 || scale.dpiY <= 0) {
        scale = {96, 96};
    }
    return scale;
}

}  // namespace

void FillGradient(HDC dc, SIZE pixels, int red, int green, int blue, int direction) {
    const Scale scale = ScreenScale();
    const int widthTwips = ::MulDiv(pixels.cx, kTwipsPerInch, scale.dpiX);
    const int heightTwips = ::MulDiv(pixels.cy, kTwipsPerInch, scale.dpiY);
    for (const auto& band :
         FillGradientBands(widthTwips, heightTwips, {red, green, blue}, direction)) {
        RECT rect{::MulDiv(band.left, scale.dpiX, kTwipsPerInch),
                  ::MulDiv(band.top, scale.dpiY, kTwipsPerInch),
                  ::MulDiv(band.right, scale.dpiX, kTwipsPerInch),
                  ::MulDiv(band.bottom, scale.dpiY, kTwipsPerInch)};
        UniqueHbrush brush(
            ::CreateSolidBrush(RGB(band.colour.red, band.colour.green, band.colour.blue)));
        if (brush) {
            ::FillRect(dc, &rect, brush.get());
        }
    }
}

void FillGradient(HWND target, int red, int green, int blue, int direction) {
    RECT client{};
    if (!::GetClientRect(target, &client)) {
        return;
    }
    HDC dc = ::GetDC(target);
    if (!dc) {
        return;
    }
    FillGradient(dc, SIZE{client.right, client.bottom}, red, green, blue, direction);
    ::ReleaseDC(target, dc);
}

}  // namespace qm::win
