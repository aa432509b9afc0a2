#include "win32/defrag/process_fixture.h"

#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "win32/common/text.h"
#include "win32/defrag/toolhelp_process_table.h"

namespace qm::test {

std::wstring EnvironmentValue(const wchar_t* name) {
    const DWORD length = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (length == 0) {
        return {};
    }
    std::wstring value(length, L'\0');
    value.resize(::GetEnvironmentVariableW(name, value.data(), length));
    return value;
}

std::wstring DoublesDir() {
    std::wstring fromEnvironment = EnvironmentValue(L"QM_DOUBLES_DIR");
    if (!fromEnvironment.empty()) {
        return fromEnvironment;
    }
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring folder(exe);
    folder.resize(folder.find_last_of(L'\\'));
    return folder + L"\\doubles";
}

ScopedEnvironment::ScopedEnvironment(std::wstring name, const std::wstring& value)
    : name_(std::move(name)) {
    if (::GetEnvironmentVariableW(name_.c_str(), nullptr, 0) != 0) {
        old_ = EnvironmentValue(name_.c_str());
    }
    ::SetEnvironmentVariableW(name_.c_str(), value.c_str());
}

ScopedEnvironment::~ScopedEnvironment() {
    ::SetEnvironmentVariableW(name_.c_str(), old_ ? old_->c_str() : nullptr);
}

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    for (;;) {
        path_ = std::wstring(base) + L"qm-defrag-" + std::to_wstring(::GetCurrentProcessId()) +
                L"-" + std::to_wstring(++counter);
        if (::CreateDirectoryW(path_.c_str(), nullptr)) {
            break;
        }
    }
}

TempFolder::~TempFolder() {
    DeleteTree(path_);
}

bool DeleteTree(const std::wstring& path) {
    std::wstring from = path;
    from.push_back(L'\0');  // the list needs a second NUL
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    return ::SHFileOperationW(&operation) == 0;
}

ChildProcess::ChildProcess(const std::wstring& application, const std::wstring& commandLine) {
    std::wstring buffer = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(application.empty() ? nullptr : application.c_str(), buffer.data(),
                         nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        ::CloseHandle(info.hThread);
        process_.reset(info.hProcess);
        pid_ = info.dwProcessId;
    }
}

ChildProcess::~ChildProcess() {
    if (process_) {
        ::TerminateProcess(process_.get(), 0);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

void EndProcessesNamed(const char* exeName) {
    for (int i = 0; i < 20; ++i) {
        const DWORD pid = win::FindProcessId(exeName);
        if (pid == 0) {
            return;
        }
        win::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (process) {
            ::TerminateProcess(process.get(), 0);
            ::WaitForSingleObject(process.get(), 5000);
        }
    }
}

DWORD PriorityClassOf(DWORD pid) {
    win::UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
    return process ? ::GetPriorityClass(process.get()) : 0;
}

std::vector<DoubleStart> ReadDoubleLog(const std::wstring& path) {
    std::vector<DoubleStart> starts;
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::istringstream fields(line);
        std::string time, name, pid, priority, show, commandLine;
        if (std::getline(fields, time, '\t') && std::getline(fields, name, '\t') &&
            std::getline(fields, pid, '\t') && std::getline(fields, priority, '\t') &&
            std::getline(fields, show, '\t')) {
            std::getline(fields, commandLine);
            starts.push_back(
                {name, std::stoul(pid), std::stoul(priority, nullptr, 16), show, commandLine});
        }
    }
    return starts;
}

}  // namespace qm::test
