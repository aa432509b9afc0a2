#pragma once
// The log the stand-in defragmenters (tools/doubles) write, one line per start: local time,
// file name, pid, priority class, show state, the starter's file name, path and command line,
// between tabs. The Windows tests read it too.

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/harness/app_process.h"
#include "e2e/harness/windows.h"
#include "core/defrag/run_log.h"
#include "win32/common/text.h"
#include "win32/defrag/log_folder.h"

namespace qm::e2e {

struct DoubleStart {
    DWORD pid = 0;
    DWORD priorityClass = 0;
    std::wstring showState;  // the window state asked by the starter, "-" when none
    std::wstring parent;     // the starter's file name: "Quillmere.exe", "QuillmereService.exe"
    std::wstring path;       // the file that ran, by its full path
    std::wstring commandLine;
};

// The starts a log file holds so far; those of one program only when `exe` is given.
inline std::vector<DoubleStart> ReadDoubleLogFile(const std::wstring& path,
                                                  const std::wstring& exe = {}) {
    std::vector<DoubleStart> starts;
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line.back() != '\r') {
            continue;  // a double may be writing this line right now
        }
        line.pop_back();
        std::vector<std::wstring> f;
        std::wistringstream in(win::Widen(line));
        for (std::wstring field; std::getline(in, field, L'\t');) {
            f.push_back(field);
        }
        if (f.size() == 8 && (exe.empty() || _wcsicmp(f[1].c_str(), exe.c_str()) == 0)) {
            starts.push_back({std::wcstoul(f[2].c_str(), nullptr, 10),
                              std::wcstoul(f[3].c_str(), nullptr, 16), f[4], f[5], f[6], f[7]});
        }
    }
    return starts;
}

// The scenario's log, in its folder (shared by its tests), and the environment entry that
// points the doubles at it.
inline std::wstring DoubleLogPath() {
    return ScenarioDir() + L"\\doubles.log";
}
inline std::wstring DoubleLogEnvironment() {
    return L"QM_DOUBLE_LOG=" + DoubleLogPath();
}
inline void ClearDoubleLog() {
    ::DeleteFileW(DoubleLogPath().c_str());
}
inline std::vector<DoubleStart> ReadDoubleLog(const std::wstring& exe = L"") {
    return ReadDoubleLogFile(DoubleLogPath(), exe);
}

// The program's run log, as it stands, and the number of its lines.
inline std::string RunLog() {
    return win::LocalLogFolder().Read(kRunLogFile);
}
inline std::ptrdiff_t RunLogLines() {
    const std::string log = RunLog();
    return std::count(log.begin(), log.end(), '\n');
}

// Whether the run log comes to hold `text` within the time.
inline bool RunLogHas(const std::string& text, DWORD withinMs) {
    return WaitUntil([&] { return RunLog().find(text) != std::string::npos; }, withinMs);
}

// A file of the scenario's folder: a test seam's file the program reads ("clock-offset.txt")
// or one it writes ("notices.txt").
inline void WriteScenarioFile(const std::wstring& name, const std::string& text) {
    std::ofstream(std::filesystem::path(ScenarioDir() + L"\\" + name),
                  std::ios::binary | std::ios::trunc)
        << text;
}
inline std::string ScenarioFile(const std::wstring& name) {
    std::ifstream in(std::filesystem::path(ScenarioDir() + L"\\" + name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The stand-ins' settings in the file they read beside them (children of a service get the
// service's environment, not the test's): `entries` as "NAME=value\r\n" lines, and `output`
// written instead of the ordinary report when not empty.
inline void SetDoubleSettings(const std::string& entries, const std::string& output = "") {
    const std::wstring file = ScenarioDir() + L"\\output.bin";
    std::ofstream(std::filesystem::path(file), std::ios::binary) << output;
    std::ofstream(std::filesystem::path(L"C:\\windows\\system32\\qm-doubles.txt"), std::ios::binary)
        << entries << (output.empty() ? "" : "QM_DOUBLE_OUTPUT=" + win::Narrow(file) + "\r\n");
}

// UTF-8 text as the UTF-16 bytes a program that writes wide text puts into its pipe.
inline std::string WideBytes(const std::string& text) {
    const std::wstring wide = win::Widen(text);
    return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
}

// Waits for the defragmenter double (defrag.exe) to be started with this exact command line.
inline std::optional<DoubleStart> WaitForDefragStart(const std::wstring& commandLine,
                                                     DWORD timeoutMs) {
    std::optional<DoubleStart> found;
    WaitUntil(
        [&] {
            const auto starts = ReadDoubleLog(L"defrag.exe");
            const auto s = std::ranges::find(starts, commandLine, &DoubleStart::commandLine);
            found = s != starts.end() ? std::optional(*s) : std::nullopt;
            return found.has_value();
        },
        timeoutMs, 20);
    return found;
}

}  // namespace qm::e2e
