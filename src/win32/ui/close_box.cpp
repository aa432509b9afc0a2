#include "win32/ui/close_box.h"

#include <array>

#include "win32/common/unique_handle.h"

namespace qm::win {
namespace {

constexpr int kSize = 14;

// A bold 6 x 6 cross.
constexpr std::array<const char*, 6> kCross = {
    "XX..XX", ".XXXX.", "..XX..", "..XX..", ".XXXX.", "XX..XX",
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFace = RGB(192, 192, 192);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// The picture as 14 x 14 colours, row by row.
std::array<COLORREF, kSize * kSize> Picture(bool pressed) {
    std::array<COLORREF, kSize * kSize> px;
    px.fill(kFace);
    auto set = [&px](int x, int y, COLORREF c) { px[y * kSize + x] = c; };
    const int last = kSize - 1;
    for (int i = 0; i < kSize; ++i) {
        if (!pressed) {
            set(i, 0, kWhite);  // light from the top left
            set(0, i, kWhite);
            set(i, last - 1, kGrey);  // shadow inside
            set(last - 1, i, kGrey);
            set(i, last, kBlack);  // outer edge
            set(last, i, kBlack);
        } else {
            set(i, last, kWhite);
            set(last, i, kWhite);
            set(i, 1, kGrey);
            set(1, i, kGrey);
            set(i, 0, kBlack);
            set(0, i, kBlack);
        }
    }
    if (!pressed) {
        set(0, last, kBlack);  // corners belong to the dark edge
        set(last, 0, kBlack);
        set(0, last - 1, kWhite);
        set(last - 1, 0, kWhite);
    }
    const int origin = pressed ? 5 : 4;  // pressed: one pixel right and down
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            if (kCross[y][x] == 'X') {
                set(origin + x, origin + y, kBlack);
            }
        }
    }
    return px;
}

}  // namespace

void DrawCloseBox(HDC dc, const RECT& rect, bool pressed) {
    const auto px = Picture(pressed);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kSize;
    info.bmiHeader.biHeight = -kSize;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::array<DWORD, kSize * kSize> bits;
    for (std::size_t i = 0; i < px.size(); ++i) {
        // COLORREF is 0x00BBGGRR; a 32-bit DIB pixel is 0x00RRGGBB.
        bits[i] = (GetRValue(px[i]) << 16) | (GetGValue(px[i]) << 8) | GetBValue(px[i]);
    }
    const int oldMode = ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchDIBits(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0,
                    kSize, kSize, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    ::SetStretchBltMode(dc, oldMode);
}

}  // namespace qm::win
