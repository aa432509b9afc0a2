#include "win32/app/application.h"

#include <commctrl.h>

#include "win32/app/menu_window.h"
#include "win32/app/single_instance.h"

namespace qm::win {

namespace {

void ShowAlreadyRunning() {
    ::MessageBoxW(nullptr, L"The program is already running", L" Quillmere",
                  MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(msg.wParam);
        }
        if (got == -1) {
            return 1;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace

int RunApplication(HINSTANCE instance) {
    SingleInstance singleInstance;
    if (singleInstance.AnotherIsRunning()) {
        ShowAlreadyRunning();
        return 0;
    }

    INITCOMMONCONTROLSEX icc{
        sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);

    MenuWindow menu(instance);
    if (!menu.Create()) {
        return 1;
    }
    menu.AddTrayIcon();
    return RunMessageLoop();
}

}  // namespace qm::win
