#include "win32/app/application.h"

#include <commctrl.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "core/app/program_settings.h"
#include "core/app/settings_keys.h"
#include "win32/app/menu_window.h"
#include "win32/app/program.h"
#include "win32/app/single_instance.h"
#include "win32/app/startup_entry_win.h"
#include "win32/app/splash_window.h"
#include "win32/common/dialog.h"
#include "win32/common/text.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/drives.h"
#include "win32/defrag/startup_shortcut_win.h"
#include "win32/ui/program_msgbox.h"

namespace qm::win {

namespace {

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
        if (TranslateDialogMessage(msg)) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace

int RunApplication(HINSTANCE instance) {
    INITCOMMONCONTROLSEX icc{
        sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);

    ApplyStartUpAppearance(ProgramMsgBox());
    SingleInstance singleInstance;
    if (singleInstance.AnotherIsRunning()) {
        ShowAlreadyRunningMessage();
        return 0;
    }
    Program program;
    if (ReadShowSetting(program.store, keys::kShowSplash)) {
        SplashWindow(instance).ShowModal();
    }
    program.isWindowsNT = IsWindowsNT();

    MenuWindow menu(instance, program);
    if (!menu.Create()) {
        return 1;
    }
    menu.LoadFromSettings();
    const int exitCode = RunMessageLoop();
    ReleaseProgramMsgBox();
    return exitCode;
}

}  // namespace qm::win
