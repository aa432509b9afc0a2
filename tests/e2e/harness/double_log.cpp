#include "e2e/harness/double_log.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "e2e/harness/app_process.h"
#include "e2e/harness/windows.h"

namespace qm::e2e {

namespace {

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::vector<std::wstring> SplitTabs(const std::wstring& line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find(L'\t', start);
        fields.push_back(line.substr(start, tab == std::wstring::npos ? tab : tab - start));
        if (tab == std::wstring::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

}  // namespace

std::wstring DoubleLogPath() {
    return ScenarioDir() + L"\\doubles.log";
}

std::wstring DoubleLogEnvironment() {
    return L"QM_DOUBLE_LOG=" + DoubleLogPath();
}

void ClearDoubleLog() {
    ::DeleteFileW(DoubleLogPath().c_str());
}

std::vector<DoubleStart> ReadDoubleLog(const std::wstring& exe) {
    std::vector<DoubleStart> starts;
    HANDLE file = ::CreateFileW(DoubleLogPath().c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return starts;
    }
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        content.append(buffer, read);
    }
    ::CloseHandle(file);

    std::istringstream lines(content);
    std::string line;
    while (std::getline(lines, line)) {
        // Only whole lines: a double may be writing its line right now.
        if (line.empty() || line.back() != '\r') {
            continue;
        }
        line.pop_back();
        const std::vector<std::wstring> f = SplitTabs(FromUtf8(line));
        if (f.size() < 5) {
            continue;
        }
        DoubleStart s;
        s.time = f[0];
        s.exe = f[1];
        s.pid = static_cast<DWORD>(std::wcstoul(f[2].c_str(), nullptr, 10));
        s.priorityClass = static_cast<DWORD>(std::wcstoul(f[3].c_str(), nullptr, 16));
        s.showState = f.size() >= 6 ? f[4] : L"";
        s.path = f.size() >= 7 ? f[5] : L"";
        s.commandLine = f.back();  // always the last field
        if (exe.empty() || _wcsicmp(s.exe.c_str(), exe.c_str()) == 0) {
            starts.push_back(s);
        }
    }
    return starts;
}

std::optional<DoubleStart> WaitForDefragStart(const std::wstring& commandLine, DWORD timeoutMs) {
    std::optional<DoubleStart> found;
    WaitUntil(
        [&] {
            for (const DoubleStart& s : ReadDoubleLog(L"defrag.exe")) {
                if (s.commandLine == commandLine) {
                    found = s;
                    return true;
                }
            }
            return false;
        },
        timeoutMs, 20);
    return found;
}

long long MillisecondsOfDay(const std::wstring& logTime) {
    unsigned y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    if (std::swscanf(logTime.c_str(), L"%u-%u-%u %u:%u:%u.%u", &y, &mo, &d, &h, &mi, &s, &ms) !=
        7) {
        return -1;
    }
    return ((h * 60LL + mi) * 60 + s) * 1000 + ms;
}

}  // namespace qm::e2e
