// The smallest honest tray program: one hidden window, one notification-area icon, a message
// loop. It is the yardstick for what sitting idle in the tray costs, so it does nothing else.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT kTrayCallback = WM_APP + 1;
constexpr UINT kIconId = 1;

void RemoveIcon(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kIconId;
    ::Shell_NotifyIconW(NIM_DELETE, &data);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            ::DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            RemoveIcon(window);
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

extern "C" int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"MinimalTrayWindow";
    if (!::RegisterClassExW(&windowClass)) {
        return 1;
    }
    // Hidden top-level window rather than a message-only one: the tray needs a window that
    // receives broadcasts such as TaskbarCreated, as a real tray program's does.
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Minimal tray", WS_OVERLAPPED, 0,
                                    0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!window) {
        return 1;
    }

    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kIconId;
    data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    data.uCallbackMessage = kTrayCallback;
    data.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);  // shared system icon: not destroyed
    ::lstrcpynW(data.szTip, L"Minimal tray", ARRAYSIZE(data.szTip));
    if (!::Shell_NotifyIconW(NIM_ADD, &data)) {
        ::DestroyWindow(window);
        return 1;
    }

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
