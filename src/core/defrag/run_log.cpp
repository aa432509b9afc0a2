#include "core/defrag/run_log.h"

#include <cstdio>

namespace qm {

std::string RunLogLine(const DriveRunRecord& r) {
    const CivilDate d = r.started.Date();
    const ClockTime t = r.started.Time();
    const std::int64_t s = r.seconds < 0 ? 0 : r.seconds;
    char head[64];
    std::snprintf(head, sizeof head, "%04d-%02d-%02d %02d:%02d:%02d\t", d.year, d.month, d.day,
                  t.hour, t.minute, t.second);
    char duration[40];
    std::snprintf(duration, sizeof duration, "\t%lld:%02lld:%02lld\t",
                  static_cast<long long>(s / 3600), static_cast<long long>(s / 60 % 60),
                  static_cast<long long>(s % 60));
    return head + r.drive + "\t" + r.commandLine + duration + OutcomeText(r.outcome) + "\r\n";
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
