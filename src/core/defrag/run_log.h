#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/common/date_time.h"
#include "core/defrag/defrag_outcome.h"

namespace qm {

// The folder of the run log: files by name, as text (UTF-8).
class LogFolder {
  public:
    virtual ~LogFolder() = default;
    // 0 for a file that is not there.
    virtual std::uint64_t SizeOf(std::string_view file) = 0;
    virtual std::string Read(std::string_view file) = 0;
    // The last `maxBytes` of the file (all of a smaller one).
    virtual std::string ReadTail(std::string_view file, std::uint64_t maxBytes) {
        std::string text = Read(file);
        return text.size() > maxBytes ? text.substr(text.size() - maxBytes) : text;
    }
    // Replaces the file's content.
    virtual bool Write(std::string_view file, std::string_view text) = 0;
    virtual bool Append(std::string_view file, std::string_view text) = 0;
};

inline constexpr std::string_view kRunLogFile = "runs.log";
inline constexpr std::string_view kOldRunLogFile = "runs.old.log";
// The log stays below this size: when a line would pass it, the older half moves to the old log.
inline constexpr std::uint64_t kRunLogLimit = 1024 * 1024;

// One drive of one run, as the log keeps it.
struct DriveRunRecord {
    DateTime started;   // local time
    std::string drive;  // "C:"
    std::string commandLine;
    std::int64_t seconds{};
    DriveOutcome outcome;
};

// "2026-12-06 21:30:05<TAB>C:<TAB>defrag c: /O /U /V<TAB>0:12:03<TAB>ok" and a line end.
std::string RunLogLine(const DriveRunRecord& record);

// A line about the run as a whole rather than a drive: "<time><TAB>-<TAB>-<TAB>-<TAB>note".
std::string RunNoteLine(DateTime at, std::string_view note);

// Adds a line to the run log, first moving the older half of the log to the old log when the
// line would make it pass its limit.
void AppendToRunLog(LogFolder& folder, std::string_view line);

// The output of the last run of a drive, kept beside the log ("output-C.txt").
std::string DriveOutputFile(std::string_view drive);

}  // namespace qm
