#include "e2e/harness/screenshot.h"

#include <vector>

#include "e2e/harness/app_process.h"
#include "win32/common/unique_handle.h"

namespace qm::e2e {

bool SaveScreenBmp(const RECT& area, const std::wstring& path) {
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    if (w <= 0 || h <= 0) {
        return false;
    }
    HDC screen = ::GetDC(nullptr);
    if (!screen) {
        return false;
    }
    win::UniqueMemoryDc mem(::CreateCompatibleDC(screen));
    win::UniqueHbitmap bitmap(::CreateCompatibleBitmap(screen, w, h));
    bool copied = false;
    if (mem && bitmap) {
        win::ScopedSelectObject select(mem.get(), bitmap.get());
        copied = ::BitBlt(mem.get(), 0, 0, w, h, screen, area.left, area.top, SRCCOPY) != FALSE;
    }
    if (!copied) {
        ::ReleaseDC(nullptr, screen);
        return false;
    }

    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = w;
    info.biHeight = h;  // bottom-up, as BMP files are
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) / 4) * 4;
    info.biSizeImage = stride * static_cast<DWORD>(h);
    std::vector<BYTE> pixels(info.biSizeImage);
    const int lines = ::GetDIBits(screen, bitmap.get(), 0, static_cast<UINT>(h), pixels.data(),
                                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (lines != h) {
        return false;
    }

    BITMAPFILEHEADER head{};
    head.bfType = 0x4D42;  // "BM"
    head.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    head.bfSize = head.bfOffBits + info.biSizeImage;
    win::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    DWORD written = 0;
    return ::WriteFile(file.get(), &head, sizeof(head), &written, nullptr) &&
           ::WriteFile(file.get(), &info, sizeof(info), &written, nullptr) &&
           ::WriteFile(file.get(), pixels.data(), info.biSizeImage, &written, nullptr);
}

std::wstring ScreenshotPath(const std::wstring& name) {
    const std::wstring folder = ScenarioDir() + L"\\screenshots";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + name + L".bmp";
}

}  // namespace qm::e2e
