#include "e2e/harness/windows.h"

#include <commctrl.h>

#include <shellapi.h>

#include <filesystem>
#include <fstream>

#include "e2e/harness/app_process.h"
#include "win32/common/unique_handle.h"

namespace qm::e2e {

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (::GetTickCount64() >= deadline) {
            return false;
        }
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(pollMs);
    }
    return true;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, nullptr, nullptr)) != nullptr;) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        if (owner == pid) {
            found.push_back(w);
        }
    }
    return found;
}

HWND WindowOfClass(DWORD pid, const wchar_t* className, bool hiddenToo) {
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        if (owner == pid && (hiddenToo || ::IsWindowVisible(w))) {
            return w;
        }
    }
    return nullptr;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[4096] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 2000, &copied);
    return text;
}

HWND FindChildWithText(HWND parent, const std::wstring& text) {
    for (HWND c = nullptr; (c = ::FindWindowExW(parent, c, nullptr, nullptr)) != nullptr;) {
        if (TextOf(c) == text) {
            return c;
        }
        if (HWND grandchild = FindChildWithText(c, text)) {
            return grandchild;
        }
    }
    return nullptr;
}

HWND FindWindowWithText(DWORD pid, const std::wstring& text) {
    for (HWND top : TopLevelWindowsOf(pid)) {
        if (HWND found = TextOf(top) == text ? top : FindChildWithText(top, text)) {
            return found;
        }
    }
    return nullptr;
}

HWND WaitForWindowWithText(DWORD pid, const std::wstring& text, DWORD timeoutMs) {
    HWND found = nullptr;
    const auto shown = [&] {
        found = FindWindowWithText(pid, text);
        return found && ::IsWindowVisible(::GetAncestor(found, GA_ROOT));
    };
    return WaitUntil(shown, timeoutMs) ? found : nullptr;
}

bool TrayIconExists(HWND owner, UINT id) {
    // A modification that changes nothing succeeds only while the shell knows the icon.
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = owner;
    data.uID = id;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void PostTrayEvent(HWND mainWindow, UINT event) {
    ::PostMessageW(mainWindow, WM_MOUSEMOVE, MAKEWPARAM(kIconAnchor.x, kIconAnchor.y),
                   MAKELPARAM(event, 1));
}

HWND PopupMenuOf(DWORD pid) {
    return WindowOfClass(pid, L"#32768");
}

HWND OpenTrayMenu(HWND mainWindow, DWORD pid) {
    PostTrayEvent(mainWindow, WM_CONTEXTMENU);
    HWND popup = nullptr;
    WaitUntil([&] { return (popup = PopupMenuOf(pid)) != nullptr; }, 10000);
    return popup;
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

bool SaveScreenshot(HWND window, int margin, const std::wstring& name) {
    RECT area{};
    ::GetWindowRect(window, &area);
    ::InflateRect(&area, margin, margin);
    const int w = area.right - area.left, h = area.bottom - area.top;
    const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) / 4) * 4;
    // Bottom-up, as BMP files are.
    BITMAPINFOHEADER info{sizeof(info), w, h, 1, 24, BI_RGB, stride * h, 0, 0, 0, 0};
    std::vector<BYTE> pixels(info.biSizeImage);
    HDC screen = ::GetDC(nullptr);
    win::UniqueMemoryDc mem(::CreateCompatibleDC(screen));
    win::UniqueHbitmap bitmap(::CreateCompatibleBitmap(screen, w, h));
    bool copied = false;
    if (mem && bitmap && w > 0 && h > 0) {
        win::ScopedSelectObject select(mem.get(), bitmap.get());
        copied = ::BitBlt(mem.get(), 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    }
    copied = copied && ::GetDIBits(screen, bitmap.get(), 0, static_cast<UINT>(h), pixels.data(),
                                   reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == h;
    ::ReleaseDC(nullptr, screen);

    const std::wstring folder = ScenarioDir() + L"\\screenshots";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(info);
    const BITMAPFILEHEADER head{0x4D42, offset + info.biSizeImage, 0, 0, offset};  // "BM"
    std::ofstream file(std::filesystem::path(folder + L"\\" + name + L".bmp"), std::ios::binary);
    file.write(reinterpret_cast<const char*>(&head), sizeof(head))
        .write(reinterpret_cast<const char*>(&info), sizeof(info))
        .write(reinterpret_cast<const char*>(pixels.data()), info.biSizeImage);
    return copied && file.good();
}

std::vector<std::wstring> ShellBalloonTexts(bool allTips) {
    std::vector<std::wstring> texts;
    for (HWND tip = nullptr; (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));) {
        if (!allTips && !::IsWindowVisible(tip)) {
            continue;
        }
        DWORD pid = 0;
        ::GetWindowThreadProcessId(tip, &pid);
        win::UniqueHandle process(
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        constexpr SIZE_T kChars = 1024;
        auto* remote = static_cast<BYTE*>(::VirtualAllocEx(
            process.get(), nullptr, sizeof(TOOLINFOW) + kChars * 2, MEM_COMMIT, PAGE_READWRITE));
        if (!remote) {
            continue;
        }
        for (WPARAM tool = 0; tool == 0 || (allTips && tool < 64); ++tool) {
            TOOLINFOW info{};
            info.cbSize = sizeof(info);
            ::WriteProcessMemory(process.get(), remote, &info, sizeof info, nullptr);
            if (!::SendMessageW(tip, TTM_ENUMTOOLSW, tool, reinterpret_cast<LPARAM>(remote))) {
                break;
            }
            ::ReadProcessMemory(process.get(), remote, &info, sizeof info, nullptr);
            info.lpszText = reinterpret_cast<LPWSTR>(remote + sizeof(TOOLINFOW));
            ::WriteProcessMemory(process.get(), remote, &info, sizeof info, nullptr);
            ::SendMessageW(tip, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(remote));
            wchar_t text[kChars] = {};
            ::ReadProcessMemory(process.get(), remote + sizeof(TOOLINFOW), text, sizeof text - 2,
                                nullptr);
            texts.emplace_back(text);
        }
        ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    }
    return texts;
}

}  // namespace qm::e2e
