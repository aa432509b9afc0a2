#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace qm::e2e {

// One start of a stand-in defragmenter, as its log line records it.
struct DoubleStart {
    std::wstring time;  // local time, "YYYY-MM-DD hh:mm:ss.mmm"
    std::wstring exe;   // file name, e.g. defrag.exe
    DWORD pid = 0;
    DWORD priorityClass = 0;
    std::wstring showState;  // the window state asked by the starter, "-" when none
    std::wstring path;       // the file that ran, by its full path
    std::wstring commandLine;
};

// The log file the doubles of this scenario write (in the scenario's folder), and the
// environment entry that tells them so.
std::wstring DoubleLogPath();
std::wstring DoubleLogEnvironment();

// Starts the log afresh (the tests of one scenario share its folder).
void ClearDoubleLog();

// Every line of the log so far; the starts of one program only when `exe` is given.
std::vector<DoubleStart> ReadDoubleLog(const std::wstring& exe = L"");

// Waits for the defragmenter double (defrag.exe) to be started with this exact command line.
std::optional<DoubleStart> WaitForDefragStart(const std::wstring& commandLine, DWORD timeoutMs);

// Milliseconds since midnight of a log time (the scenarios never cross midnight).
long long MillisecondsOfDay(const std::wstring& logTime);

}  // namespace qm::e2e
