#pragma once
// Shared body of the stand-in defragmenter programs. Each one records how it was started and
// then stays alive for a while, so tests and demonstrations can watch it as they would the
// real program.
//
//   QM_DOUBLE_LOG      file to which one line per start is appended (optional):
//                      local time TAB file name TAB process id TAB priority class (hex)
//                      TAB show state asked by the starter ("-" when none) TAB the file name
//                      of the process that started it TAB its own full path TAB the exact
//                      command line; UTF-8, CR LF
//   QM_DOUBLE_SECONDS  how long to stay alive, in seconds, fractions allowed (default 3)
//
// Each setting comes from the environment or, failing that, from "qm-doubles.txt" beside the
// program (NAME=value lines, UTF-8): a program that a service starts gets the service's
// environment, not the test's.

#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace qm::doubles {

inline std::wstring OwnPath();

// NAME=value from the settings file beside the program; empty when absent.
inline std::wstring FileSetting(const wchar_t* name) {
    std::wstring path = OwnPath();
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"qm-doubles.txt";
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    char bytes[8192] = {};
    DWORD read = 0;
    ::ReadFile(file, bytes, sizeof(bytes) - 1, &read, nullptr);
    ::CloseHandle(file);
    wchar_t wide[8192] = {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(read), wide, 8191);
    const std::wstring text(wide, n > 0 ? n : 0);
    const std::wstring key = std::wstring(name) + L"=";
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find_first_of(L"\r\n", at);
        const std::wstring line = text.substr(at, end == std::wstring::npos ? end : end - at);
        if (line.rfind(key, 0) == 0) {
            return line.substr(key.size());
        }
        at = end == std::wstring::npos ? text.size() : end + 1;
    }
    return {};
}

inline std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t buffer[4096] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, buffer, 4096);
    return (length == 0 || length >= 4096) ? FileSetting(name) : std::wstring(buffer, length);
}

// The file name of the process that started this one; "-" when it has gone or is unknown.
inline std::wstring ParentName() {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return L"-";
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    DWORD parent = 0;
    std::wstring name = L"-";
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
         more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == ::GetCurrentProcessId()) {
            parent = entry.th32ParentProcessID;
        }
    }
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && parent != 0;
         more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == parent) {
            name = entry.szExeFile;
        }
    }
    ::CloseHandle(snapshot);
    return name;
}

inline DWORD LifetimeMilliseconds() {
    const std::wstring text = EnvironmentValue(L"QM_DOUBLE_SECONDS");
    double seconds = 3.0;
    if (!text.empty()) {
        wchar_t* end = nullptr;
        const double parsed = std::wcstod(text.c_str(), &end);
        if (end != text.c_str() && parsed >= 0 && parsed < 86400) {
            seconds = parsed;
        }
    }
    return static_cast<DWORD>(seconds * 1000.0 + 0.5);
}

inline std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                          length, nullptr, nullptr);
    return out;
}

inline std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

inline std::wstring OwnFileName() {
    const std::wstring path = OwnPath();
    const auto slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// Appends this start's line to the log, if one is named. Each line goes out in one write to
// a file opened for appending, so doubles running together do not mix their lines.
inline void LogStart() {
    const std::wstring logPath = EnvironmentValue(L"QM_DOUBLE_LOG");
    if (logPath.empty()) {
        return;
    }
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t head[128] = {};
    std::swprintf(head, 128, L"%04u-%02u-%02u %02u:%02u:%02u.%03u\t", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    wchar_t show[16] = L"-";
    if (startup.dwFlags & STARTF_USESHOWWINDOW) {
        std::swprintf(show, 16, L"%u", static_cast<unsigned>(startup.wShowWindow));
    }
    wchar_t numbers[96] = {};
    std::swprintf(numbers, 96, L"\t%lu\t0x%lX\t%ls\t", ::GetCurrentProcessId(),
                  ::GetPriorityClass(::GetCurrentProcess()), show);
    const std::string line = Utf8(head + OwnFileName() + numbers + ParentName() + L"\t" +
                                  OwnPath() + L"\t" + ::GetCommandLineW()) +
                             "\r\n";

    HANDLE file = ::CreateFileW(logPath.c_str(), FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
}

// Starts another program by command line, as found on the search path; returns its process
// handle (to be closed by the caller) or nothing.
inline HANDLE StartChild(const wchar_t* commandLine) {
    std::wstring buffer = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return nullptr;
    }
    ::CloseHandle(info.hThread);
    return info.hProcess;
}

}  // namespace qm::doubles
