// What the install test cannot see from the shell, asked inside the Wine prefix:
//   install_probe window CLASS MS   waits for a top-level window of CLASS; prints its process id
//   install_probe gone CLASS MS     waits until no window of CLASS is left
//   install_probe origin CLASS MS   waits for a window of CLASS; prints its process's parent
//                                   process id and the rights it runs with (full, limited,
//                                   default)
//   install_probe startup-link EXE  makes the user's Startup-folder shortcut to EXE, as the
//                                   Options dialog does; prints the shortcut's path
//   install_probe limited COMMAND   runs COMMAND (one argument) without administrator rights,
//                                   as a user's ordinary program runs; prints its process id
//                                   and exits with its exit status
//   install_probe task register|exists   registers the logon task "Quillmere" of earlier
//                                   versions, or exits 0 when a task of that name exists
// Exit status 0 when done, 1 on time-out or failure, 2 on a wrong command line.
#include <windows.h>

#include <oleauto.h>
#include <taskschd.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>

#include "win32/common/text.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/startup_shortcut_win.h"

namespace {

using qm::win::UniqueHandle;

// Waits for a window of the class (present) or for none to be left; returns the window's
// process id (1 for none left), or 0 once the time is up.
DWORD WaitForWindow(const wchar_t* className, DWORD timeoutMs, bool present) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const HWND window = ::FindWindowW(className, nullptr);
        DWORD pid = 1;
        if ((window != nullptr) == present) {
            if (window) {
                ::GetWindowThreadProcessId(window, &pid);
            }
            return pid;
        }
        if (::GetTickCount64() >= end) {
            return 0;
        }
        ::Sleep(50);
    }
}

bool PrintOrigin(DWORD pid) {
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more && entry.th32ProcessID != pid;
         more = ::Process32NextW(snapshot.get(), &entry)) {
    }
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    UniqueHandle token;
    TOKEN_ELEVATION_TYPE type{};
    DWORD size = 0;
    if (entry.th32ProcessID != pid ||
        !::OpenProcessToken(process.get(), TOKEN_QUERY, token.put()) ||
        !::GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size)) {
        return false;
    }
    const char* rights = type == TokenElevationTypeFull      ? "full"
                         : type == TokenElevationTypeLimited ? "limited"
                                                             : "default";
    std::printf("%lu %s\n", entry.th32ParentProcessID, rights);
    return true;
}

// Wine gives every process the elevated token; its linked token is the one without the rights.
int RunLimited(std::wstring commandLine) {
    UniqueHandle token;
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put()) ||
        !::GetTokenInformation(token.get(), TokenLinkedToken, &linked, sizeof linked, &size)) {
        return 1;
    }
    const UniqueHandle limited(linked.LinkedToken);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessAsUserW(limited.get(), nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                0, nullptr, nullptr, &startup, &info)) {
        return 1;
    }
    const UniqueHandle process(info.hProcess), thread(info.hThread);
    std::printf("%lu\n", info.dwProcessId);
    std::fflush(stdout);
    DWORD status = 1;
    ::WaitForSingleObject(process.get(), INFINITE);
    ::GetExitCodeProcess(process.get(), &status);
    return static_cast<int>(status);
}

bool LogonTask(bool registerIt) {
    const qm::win::ScopedComInit com;
    qm::win::ComPtr<ITaskService> scheduler;
    qm::win::ComPtr<ITaskFolder> root;
    qm::win::ComPtr<IRegisteredTask> task;
    VARIANT none;
    ::VariantInit(&none);
    const BSTR rootPath = ::SysAllocString(L"\\"), name = ::SysAllocString(L"Quillmere");
    const BSTR xml = ::SysAllocString(
        L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
        L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"
        L"<Triggers><LogonTrigger><Enabled>true</Enabled></LogonTrigger></Triggers>"
        L"<Actions><Exec><Command>C:\\Program Files\\Quillmere\\Quillmere.exe</Command></Exec>"
        L"</Actions></Task>");
    bool ok = com.ok() &&
              SUCCEEDED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_ITaskService, scheduler.put_void())) &&
              SUCCEEDED(scheduler->Connect(none, none, none, none)) &&
              SUCCEEDED(scheduler->GetFolder(rootPath, root.put()));
    ok = ok &&
         SUCCEEDED(registerIt ? root->RegisterTask(name, xml, TASK_CREATE_OR_UPDATE, none, none,
                                                   TASK_LOGON_INTERACTIVE_TOKEN, none, task.put())
                              : root->GetTask(name, task.put()));
    ::SysFreeString(rootPath);
    ::SysFreeString(name);
    ::SysFreeString(xml);
    return ok;
}

}  // namespace

extern "C" int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if ((command == L"window" || command == L"gone" || command == L"origin") && argc == 4) {
        const DWORD pid =
            WaitForWindow(argv[2], std::wcstoul(argv[3], nullptr, 10), command != L"gone");
        if (pid != 0 && command == L"window") {
            std::printf("%lu\n", pid);
        }
        return pid != 0 && (command != L"origin" || PrintOrigin(pid)) ? 0 : 1;
    }
    if (command == L"startup-link" && argc == 3) {
        qm::win::WindowsShortcutPlatform platform;
        const std::string link =
            platform.StartupFolder() + "\\" + qm::win::kStartupLinkName + ".lnk";
        std::printf("%s\n", link.c_str());
        return platform.CreateShellLink(link, qm::win::Narrow(argv[2]), "") ? 0 : 1;
    }
    if (command == L"limited" && argc == 3) {
        return RunLimited(argv[2]);
    }
    if (command == L"task" && argc == 3 &&
        (argv[2] == std::wstring(L"register") || argv[2] == std::wstring(L"exists"))) {
        return LogonTask(argv[2] == std::wstring(L"register")) ? 0 : 1;
    }
    std::fprintf(stderr,
                 "usage: install_probe window|gone|origin CLASS MS | startup-link EXE |"
                 " limited COMMAND | task register|exists\n");
    return 2;
}
