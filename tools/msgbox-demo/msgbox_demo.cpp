// Shows one message box as the program would, for looking at it: screenshots, manual checks.
//   msgbox_demo [--style N] [--title T] [--message M] [--seconds S] [--gradient DIRECTION]
//               [--solid-heading] [--no-sound]
// The box has the program's start-up appearance and closes by itself after S seconds (5).
// The exit code is the box's result.
#include <windows.h>

#include <cwchar>
#include <string>

#include "win32/common/text.h"
#include "win32/ui/program_msgbox.h"

extern "C" int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    int style = 48;
    std::string title = " Quillmere";
    std::string message = "The program is already running";
    int seconds = 5;
    qm::MsgBoxEnhanced& box = qm::win::ProgramMsgBox();
    qm::win::ApplyStartUpAppearance(box);
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--style" && hasValue) {
            style = std::wcstol(argv[++i], nullptr, 10);
        } else if (arg == L"--title" && hasValue) {
            title = qm::win::Narrow(argv[++i]);
        } else if (arg == L"--message" && hasValue) {
            message = qm::win::Narrow(argv[++i]);
            // "\n" in the argument stands for a line break.
            for (std::size_t p; (p = message.find("\\n")) != std::string::npos;) {
                message.replace(p, 2, "\r\n");
            }
        } else if (arg == L"--seconds" && hasValue) {
            seconds = std::wcstol(argv[++i], nullptr, 10);
        } else if (arg == L"--gradient" && hasValue) {
            box.SetGradientPaint(true);
            box.SetGradientDirection(std::wcstol(argv[++i], nullptr, 10));
        } else if (arg == L"--solid-heading") {
            box.SetSolidColorHeading(true);
        } else if (arg == L"--no-sound") {
            box.SetSoundBeep(false);
        }
    }
    ::LocalFree(argv);
    box.SetTimerSeconds(seconds);
    const int result = box.MsgBox(message, static_cast<std::int16_t>(style), title);
    qm::win::ReleaseProgramMsgBox();
    return result;
}
