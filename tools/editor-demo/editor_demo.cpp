// Shows the schedule editor as the program would, for looking at it: screenshots, manual checks.
//   editor_demo [--occurs N] [--invalid] [--seconds S]
// The editor opens centred on a weekly-and-monthly schedule with the frequency N (0 Never ...
// 4 Every). --invalid confirms a weekly schedule with an end date and no weekday, so that the
// validation message shows over the editor. The program ends by itself after S seconds (5).
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

#include "core/schedule/schedule_module.h"
#include "win32/common/dialog.h"
#include "win32/common/system_clock.h"
#include "win32/schedule/schedule_editor_dialog.h"
#include "win32/ui/program_msgbox.h"

namespace {

void CALLBACK EndDemo(HWND, UINT, UINT_PTR, DWORD) {
    ::PostQuitMessage(0);
}

}  // namespace

extern "C" int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    int occurs = 2;
    bool invalid = false;
    int seconds = 5;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--occurs" && i + 1 < argc) {
            occurs = std::wcstol(argv[++i], nullptr, 10);
        } else if (arg == L"--invalid") {
            invalid = true;
        } else if (arg == L"--seconds" && i + 1 < argc) {
            seconds = std::wcstol(argv[++i], nullptr, 10);
        }
    }
    ::LocalFree(argv);
    qm::win::ApplyStartUpAppearance(qm::win::ProgramMsgBox());

    qm::win::SystemClock clock;
    qm::ScheduleModule module(clock);
    qm::ScheduleRecord& r = module.Record();
    const qm::DateTime today = clock.Now().DatePart();
    r.occursOption = invalid ? 2 : occurs;
    r.everyFrequency = 30;
    r.everyInterval = 1;
    r.startHour = 21;
    r.startMinute = 30;
    r.startDate = today;
    r.endDate = qm::AddDays(today, 90);
    r.useEndDate = invalid;
    r.weeklySelections = invalid ? "0000000" : "0100100";
    r.monthlySelections = "1000000000000001000000000000000";
    r.title = " Defrag Schedule";

    qm::win::ScheduleEditorDialog editor(module, [] {});
    qm::ScheduleEditorRequest request;
    request.acceptChanges = invalid;
    request.title = r.title;
    editor.Display(request);
    if (invalid) {
        ::PostMessageW(editor.Hwnd(), WM_COMMAND, IDOK, 0);
    }
    ::SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, &EndDemo);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!qm::win::TranslateDialogMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    editor.Close();
    qm::win::ReleaseProgramMsgBox();
    return 0;
}
