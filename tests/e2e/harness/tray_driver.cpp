#include "e2e/harness/tray_driver.h"

#include <algorithm>
#include <vector>

#include "e2e/harness/windows.h"
#include "win32/common/unique_handle.h"

namespace qm::e2e {

void PostTrayEvent(HWND mainWindow, UINT event, POINT anchor) {
    ::PostMessageW(mainWindow, WM_MOUSEMOVE,
                   MAKEWPARAM(static_cast<WORD>(anchor.x), static_cast<WORD>(anchor.y)),
                   MAKELPARAM(event, 1));
}

HWND VisiblePopupMenuOf(DWORD pid) {
    for (HWND w : TopLevelWindowsOf(pid)) {
        if (ClassNameOf(w) == L"#32768" && ::IsWindowVisible(w)) {
            return w;
        }
    }
    return nullptr;
}

HWND WaitForPopupMenu(DWORD pid, DWORD timeoutMs) {
    HWND popup = nullptr;
    WaitUntil([&] { return (popup = VisiblePopupMenuOf(pid)) != nullptr; }, timeoutMs);
    return popup;
}

bool WaitForPopupMenuGone(DWORD pid, DWORD timeoutMs) {
    return WaitUntil([&] { return VisiblePopupMenuOf(pid) == nullptr; }, timeoutMs);
}

HWND OpenTrayMenu(HWND mainWindow, DWORD pid) {
    PostTrayEvent(mainWindow, WM_CONTEXTMENU);
    return WaitForPopupMenu(pid);
}

void TypeKeys(const std::vector<WORD>& virtualKeys) {
    for (WORD vk : virtualKeys) {
        INPUT keys[2]{};
        keys[0].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = vk;
        keys[1] = keys[0];
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, keys, sizeof(INPUT));
        // The menu handles one key at a time; give its thread the moment a hand would.
        ::Sleep(60);
    }
}

std::vector<WORD> KeysForDefragNow() {
    return {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};
}
std::vector<WORD> KeysForStop() {
    return {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};
}
std::vector<WORD> KeysForExit() {
    return {VK_UP, VK_RETURN};
}

namespace {

// The screen pixels of a window's rectangle, top-down, 32 bits each (0x00RRGGBB).
std::vector<DWORD> CaptureWindowPixels(HWND hwnd, int& width, int& height) {
    RECT r{};
    if (!::GetWindowRect(hwnd, &r)) {
        return {};
    }
    width = r.right - r.left;
    height = r.bottom - r.top;
    if (width <= 0 || height <= 0) {
        return {};
    }
    HDC screen = ::GetDC(nullptr);
    win::UniqueMemoryDc mem(::CreateCompatibleDC(screen));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win::UniqueHbitmap dib(::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    std::vector<DWORD> pixels;
    if (mem && dib && bits) {
        win::ScopedSelectObject select(mem.get(), dib.get());
        if (::BitBlt(mem.get(), 0, 0, width, height, screen, r.left, r.top, SRCCOPY)) {
            ::GdiFlush();
            const DWORD* p = static_cast<const DWORD*>(bits);
            pixels.assign(p, p + static_cast<size_t>(width) * static_cast<size_t>(height));
        }
    }
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

int Brightest(DWORD px) {
    return std::max({static_cast<int>(px & 0xFF), static_cast<int>((px >> 8) & 0xFF),
                     static_cast<int>((px >> 16) & 0xFF)});
}

}  // namespace

std::string PopupMenuShades(HWND popup) {
    int w = 0, h = 0;
    const std::vector<DWORD> pixels = CaptureWindowPixels(popup, w, h);
    // Inside the frame only.
    constexpr int kMargin = 4;
    if (pixels.empty() || w <= 2 * kMargin || h <= 2 * kMargin) {
        return {};
    }
    const DWORD background = pixels[static_cast<size_t>(kMargin) * w + kMargin] & 0xFFFFFF;
    std::string shades;
    int bandRows = 0;
    bool bandDark = false;
    const auto endBand = [&] {
        // Separators are a line or two; text is several rows high.
        if (bandRows >= 5) {
            shades.push_back(bandDark ? 'e' : 'd');
        }
        bandRows = 0;
        bandDark = false;
    };
    for (int y = kMargin; y < h - kMargin; ++y) {
        bool ink = false;
        bool dark = false;
        for (int x = kMargin; x < w - kMargin; ++x) {
            const DWORD px = pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF;
            if (px != background) {
                ink = true;
                // Menu text is black; grey text never gets this dark.
                if (Brightest(px) < 70) {
                    dark = true;
                }
            }
        }
        if (ink) {
            ++bandRows;
            bandDark = bandDark || dark;
        } else {
            endBand();
        }
    }
    endBand();
    return shades;
}

std::string SettledPopupMenuShades(HWND popup, DWORD timeoutMs) {
    std::string last;
    std::string settled;
    WaitUntil(
        [&] {
            const std::string now = PopupMenuShades(popup);
            if (!now.empty() && now == last) {
                settled = now;
                return true;
            }
            last = now;
            return false;
        },
        timeoutMs, 100);
    return settled;
}

int WindowHeight(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r.bottom - r.top;
}

}  // namespace qm::e2e
