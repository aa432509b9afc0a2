#pragma once
// Helpers for tests that run the stand-in defragmenters as real processes.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "win32/common/text.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/toolhelp_process_table.h"

namespace qm::test {

inline std::optional<std::wstring> EnvironmentValue(const wchar_t* name) {
    std::wstring value(::GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    if (value.empty()) {
        return std::nullopt;
    }
    value.resize(::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

// The folder of the stand-in programs: QM_DOUBLES_DIR, else "doubles" beside the test
// program. Kept out of the test program's own folder, which process creation searches first.
inline std::wstring DoublesDir() {
    if (auto fromEnvironment = EnvironmentValue(L"QM_DOUBLES_DIR")) {
        return *fromEnvironment;
    }
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    return std::filesystem::path(exe).parent_path().wstring() + L"\\doubles";
}

// Sets an environment variable of this process (and so of the children it starts) for the
// length of a scope.
class ScopedEnvironment {
  public:
    ScopedEnvironment(std::wstring name, const std::wstring& value)
        : name_(std::move(name)), old_(EnvironmentValue(name_.c_str())) {
        ::SetEnvironmentVariableW(name_.c_str(), value.c_str());
    }
    ~ScopedEnvironment() {
        ::SetEnvironmentVariableW(name_.c_str(), old_ ? old_->c_str() : nullptr);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    std::wstring name_;
    std::optional<std::wstring> old_;
};

// A fresh folder under the temporary folder, deleted with everything in it at the end.
class TempFolder {
  public:
    TempFolder() {
        static int counter = 0;
        path_ = (std::filesystem::temp_directory_path() /
                 (L"qm-defrag-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                  std::to_wstring(++counter)))
                    .wstring();
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

  private:
    std::wstring path_;
};

// One line of a double's log: time, name, pid, priority class, show state, path, command line.
struct DoubleStart {
    std::string exeName;
    unsigned long pid = 0;
    std::string priorityClass;  // "0x80" for high
    std::string showState;      // "0" when asked to hide, "-" when the starter did not say
    std::string path;
    std::string commandLine;
};

inline std::vector<DoubleStart> ReadDoubleLog(const std::wstring& path) {
    std::vector<DoubleStart> starts;
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        std::vector<std::string> fields;
        std::istringstream in(line.substr(0, line.find_last_not_of('\r') + 1));
        for (std::string field; std::getline(in, field, '\t');) {
            fields.push_back(field);
        }
        if (fields.size() >= 7) {
            starts.push_back(
                {fields[1], std::stoul(fields[2]), fields[3], fields[4], fields[5], fields[6]});
        }
    }
    return starts;
}

// Polls `done` until it holds or ten seconds are up; for waits on other processes.
template <typename Predicate>
bool WaitUntil(Predicate done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// Tests that run the stand-ins: they live long enough to be looked at, and every one a test
// caused to be started is ended afterwards.
class DoublesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(::GetFileAttributesW((doubles_ + L"\\defrag.exe").c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << "stand-in programs missing in " << win::Narrow(doubles_);
    }
    void TearDown() override { EndDoubles(); }
    void EndDoubles() {
        for (const char* name : {"defrag.exe", "xdefrag.exe", "dfrgntfs.exe", "contig.exe"}) {
            for (DWORD pid; (pid = win::FindProcessId(name)) != 0;) {
                win::UniqueHandle process(
                    ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
                if (!process) {
                    break;
                }
                ::TerminateProcess(process.get(), 0);
                ::WaitForSingleObject(process.get(), 5000);
            }
        }
    }

    std::wstring doubles_ = DoublesDir();
    ScopedEnvironment lifetime_{L"QM_DOUBLE_SECONDS", L"30"};
};

}  // namespace qm::test
