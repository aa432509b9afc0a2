#include "core/defrag/run_log.h"

#include <algorithm>
#include <cstdio>

namespace qm {

namespace {

// "2026-12-06 21:30:05": sorts as text, reads everywhere.
std::string LogTime(DateTime at) {
    const CivilDate d = at.Date();
    const ClockTime t = at.Time();
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day,
                  t.hour, t.minute, t.second);
    return text;
}

}  // namespace

std::string RunLogLine(const DriveRunRecord& r) {
    const std::int64_t s = std::max<std::int64_t>(r.seconds, 0);
    char duration[40];
    std::snprintf(duration, sizeof duration, "\t%lld:%02lld:%02lld\t",
                  static_cast<long long>(s / 3600), static_cast<long long>(s / 60 % 60),
                  static_cast<long long>(s % 60));
    return LogTime(r.started) + "\t" + r.drive + "\t" + r.commandLine + duration +
           OutcomeText(r.outcome) + "\r\n";
}

std::string RunNoteLine(DateTime at, std::string_view note) {
    return LogTime(at) + "\t-\t-\t-\t" + std::string(note) + "\r\n";
}

void AppendToRunLog(LogFolder& folder, std::string_view line) {
    if (folder.SizeOf(kRunLogFile) + line.size() > kRunLogLimit) {
        const std::string log = folder.Read(kRunLogFile);
        // Whole lines: cut after the line end nearest past the middle.
        std::size_t cut = log.find('\n', log.size() / 2);
        cut = cut == std::string::npos ? log.size() : cut + 1;
        folder.Write(kOldRunLogFile, std::string_view(log).substr(0, cut));
        folder.Write(kRunLogFile, std::string_view(log).substr(cut));
    }
    folder.Append(kRunLogFile, line);
}

std::string DriveOutputFile(std::string_view drive) {
    return "output-" + std::string(drive.substr(0, 1)) + ".txt";
}

}  // namespace qm
