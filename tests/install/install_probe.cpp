// What the install test cannot see from the shell, asked inside the Wine prefix:
//   install_probe window CLASS MS   waits for a top-level window of CLASS; prints its process id
//   install_probe gone CLASS MS     waits until no window of CLASS is left
//   install_probe startup-link EXE  makes the user's Startup-folder shortcut to EXE, as the
//                                   Options dialog does; prints the shortcut's path
// Exit status 0 when done, 1 on time-out or failure, 2 on a wrong command line.
#include <windows.h>

#include <cstdio>
#include <string>

#include "win32/common/text.h"
#include "win32/defrag/startup_shortcut_win.h"

namespace {

bool WaitForWindow(const wchar_t* className, DWORD timeoutMs, bool present) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const HWND window = ::FindWindowW(className, nullptr);
        if ((window != nullptr) == present) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(window, &pid);
            if (present) {
                std::printf("%lu\n", pid);
            }
            return true;
        }
        if (::GetTickCount64() >= end) {
            return false;
        }
        ::Sleep(50);
    }
}

}  // namespace

extern "C" int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if ((command == L"window" || command == L"gone") && argc == 4) {
        const bool present = command == L"window";
        return WaitForWindow(argv[2], std::wcstoul(argv[3], nullptr, 10), present) ? 0 : 1;
    }
    if (command == L"startup-link" && argc == 3) {
        qm::win::WindowsShortcutPlatform platform;
        const std::string link =
            platform.StartupFolder() + "\\" + qm::win::kStartupLinkName + ".lnk";
        std::printf("%s\n", link.c_str());
        return platform.CreateShellLink(link, qm::win::Narrow(argv[2]), "") ? 0 : 1;
    }
    std::fprintf(stderr, "usage: install_probe window|gone CLASS MS | startup-link EXE\n");
    return 2;
}
