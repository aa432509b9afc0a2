// Stands in for the system defragmenter and acts like the one of the system it runs on (or of
// QM_DOUBLE_SYSTEM: "xp", "win7", "win10"): it records its start; Windows XP's starts its
// engine and takes "-f"; later systems refuse "-f" as the real ones do, and take "/U /V" or
// "/O /U /V". QM_DOUBLE_REFUSE=admin makes it refuse for want of administrator rights, with
// the exit code 0 the real one may give then. QM_DOUBLE_OUTPUT names a file whose bytes it
// writes as its output, as they are (UTF-16 text of another language, say), after its time,
// and then it exits with QM_DOUBLE_EXIT (default 0). It ends once its time is up (and, on XP,
// the engine has finished). QM_DOUBLE_PROGRESS=1 makes it print its progress meanwhile, every
// half second, rewritten in place as later systems' defragmenter does with /U:
// "Defragmentation: N% complete...\r".
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "double_common.h"

namespace {

enum class System { kXp, kWindows7, kLater };

System ThisSystem() {
    const std::wstring asked = qm::doubles::EnvironmentValue(L"QM_DOUBLE_SYSTEM");
    if (asked == L"xp") {
        return System::kXp;
    }
    if (asked == L"win7") {
        return System::kWindows7;
    }
    if (asked == L"win10") {
        return System::kLater;
    }
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (!rtlGetVersion || rtlGetVersion(&info) != 0 || info.dwMajorVersion < 6 ||
        (info.dwMajorVersion == 6 && info.dwMinorVersion == 0)) {
        return System::kXp;
    }
    return info.dwMajorVersion == 6 && info.dwMinorVersion == 1 ? System::kWindows7
                                                                : System::kLater;
}

bool HasOption(const wchar_t* option) {
    std::wstring line = ::GetCommandLineW();
    for (auto& c : line) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    std::wstring wanted = option;
    for (auto& c : wanted) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    const auto at = line.find(L" " + wanted);
    return at != std::wstring::npos &&
           (at + 1 + wanted.size() == line.size() || line[at + 1 + wanted.size()] == L' ');
}

void Say(const char* text) {
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)),
                &written, nullptr);
}

}  // namespace

int wmain() {
    qm::doubles::LogStart();
    const System system = ThisSystem();
    if (system != System::kXp && HasOption(L"-f")) {
        Say("An invalid command line option was specified. (0x89000008)\r\n");
        return static_cast<int>(0x89000008u);
    }
    if (qm::doubles::EnvironmentValue(L"QM_DOUBLE_REFUSE") == L"admin") {
        Say("The disk defragmenter requires Administrator privileges to run. (0x89000024)\r\n");
        return 0;
    }
    if (const std::wstring file = qm::doubles::EnvironmentValue(L"QM_DOUBLE_OUTPUT");
        !file.empty()) {
        ::Sleep(qm::doubles::LifetimeMilliseconds());
        HANDLE in = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        static char bytes[1 << 16];
        DWORD read = 0, written = 0;
        if (in != INVALID_HANDLE_VALUE && ::ReadFile(in, bytes, sizeof bytes, &read, nullptr)) {
            ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes, read, &written, nullptr);
        }
        if (in != INVALID_HANDLE_VALUE) {
            ::CloseHandle(in);
        }
        return static_cast<int>(
            std::wcstoul(qm::doubles::EnvironmentValue(L"QM_DOUBLE_EXIT").c_str(), nullptr, 0));
    }
    HANDLE engine = system == System::kXp ? qm::doubles::StartChild(L"dfrgntfs.exe") : nullptr;
    Say(system == System::kXp ? "Windows Disk Defragmenter\r\nAnalysis report\r\n"
                              : "Invoking optimization...\r\n\r\nPre-Optimization Report:\r\n");
    const DWORD lifetime = qm::doubles::LifetimeMilliseconds();
    if (qm::doubles::EnvironmentValue(L"QM_DOUBLE_PROGRESS") == L"1") {
        for (DWORD elapsed = 0; elapsed < lifetime; elapsed += 500) {
            char line[64];
            std::snprintf(line, sizeof line, "Defragmentation: %lu%% complete...\r",
                          static_cast<unsigned long>(elapsed * 100 / lifetime));
            Say(line);
            ::Sleep(500);
        }
    } else {
        ::Sleep(lifetime);
    }
    if (engine) {
        ::WaitForSingleObject(engine, 5000);
        ::CloseHandle(engine);
    }
    Say("The operation completed successfully.\r\n");
    return 0;
}
