#include "core/defrag/run_history.h"

#include <algorithm>
#include <charconv>

namespace qm {

namespace {

// The last `room` bytes of a file from its first whole line on: one byte more is read, so
// that a cut that falls just after a line end keeps the line that follows.
std::string Tail(LogFolder& folder, std::string_view file, std::uint64_t room) {
    if (folder.SizeOf(file) <= room) {
        return folder.ReadTail(file, room);
    }
    const std::string tail = folder.ReadTail(file, room + 1);
    const std::size_t end = tail.find('\n');
    return end == std::string::npos ? std::string() : tail.substr(end + 1);
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at - from));
        if (at == std::string_view::npos) {
            return parts;
        }
        from = at + 1;
    }
}

std::optional<int> Number(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// "2026-12-06 21:30:05"
std::optional<DateTime> LogTime(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    const auto y = Number(text.substr(0, 4)), mo = Number(text.substr(5, 2)),
               d = Number(text.substr(8, 2)), h = Number(text.substr(11, 2)),
               mi = Number(text.substr(14, 2)), s = Number(text.substr(17, 2));
    if (!y || !mo || !d || !h || !mi || !s) {
        return std::nullopt;
    }
    return DateTime::FromParts(*y, *mo, *d, *h, *mi, *s);
}

// "h:mm:ss", any number of hours.
bool IsDuration(std::string_view text) {
    const auto parts = Split(text, ':');
    return parts.size() == 3 && Number(parts[0]) && parts[1].size() == 2 && parts[2].size() == 2 &&
           Number(parts[1]).value_or(60) < 60 && Number(parts[2]).value_or(60) < 60;
}

std::optional<HistoryRow> ParseLine(std::string_view line) {
    const auto f = Split(line, '\t');
    if (f.size() != 5 || f[4].empty()) {
        return std::nullopt;
    }
    HistoryRow row;
    row.started = LogTime(f[0]);
    const bool note = f[1] == "-" && f[2] == "-" && f[3] == "-";
    if (!row.started || (!note && (f[1].empty() || f[2].empty() || !IsDuration(f[3])))) {
        return std::nullopt;
    }
    if (!note) {
        row.drive = f[1];
        row.commandLine = f[2];
        row.duration = f[3];
    }
    row.outcome = f[4];
    row.warning = row.outcome.starts_with("failed") || row.outcome.starts_with("skipped");
    return row;
}

}  // namespace

std::string ReadHistoryText(LogFolder& folder, std::uint64_t limit) {
    const std::uint64_t size = folder.SizeOf(kRunLogFile);
    std::string text = Tail(folder, kRunLogFile, limit);
    if (size >= limit) {
        return text;
    }
    std::string old = Tail(folder, kOldRunLogFile, limit - size);
    if (!old.empty() && old.back() != '\n') {
        old += "\r\n";  // an old log without its last line end never joins the next line
    }
    return old + text;
}

std::vector<HistoryRow> HistoryRows(std::string_view logText) {
    std::vector<HistoryRow> rows;
    for (std::string_view line : Split(logText, '\n')) {
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.find_first_not_of(" \t") == std::string_view::npos) {
            continue;
        }
        if (auto row = ParseLine(line)) {
            rows.push_back(std::move(*row));
        } else {
            HistoryRow damaged;
            damaged.outcome = "This line of the log could not be read";
            damaged.commandLine = line.substr(0, 200);
            std::replace(damaged.commandLine.begin(), damaged.commandLine.end(), '\t', ' ');
            damaged.warning = true;
            rows.push_back(std::move(damaged));
        }
    }
    std::reverse(rows.begin(), rows.end());
    return rows;
}

std::array<std::string, kHistoryColumns> HistoryCells(const HistoryRow& row,
                                                      const DateTextFormat& format) {
    std::string started;
    if (row.started) {
        started = format.FormatShortDate(*row.started) + " " + format.FormatTime(*row.started);
    }
    return {started, row.drive, row.duration, row.outcome, row.commandLine};
}

std::string HistoryTsv(const std::vector<HistoryRow>& rows, const std::vector<std::size_t>& which,
                       const DateTextFormat& format) {
    std::string text;
    for (std::size_t i : which) {
        if (i >= rows.size()) {
            continue;
        }
        const auto cells = HistoryCells(rows[i], format);
        for (std::size_t c = 0; c < cells.size(); ++c) {
            text += (c ? "\t" : "") + cells[c];
        }
        text += "\r\n";
    }
    return text;
}

std::optional<WindowPlace> ParseWindowPlace(std::string_view text) {
    const auto parts = Split(text, ',');
    if (parts.size() != 4) {
        return std::nullopt;
    }
    int v[4];
    for (int i = 0; i < 4; ++i) {
        const auto n = Number(parts[i]);
        if (!n || *n < -100000 || *n > 100000) {
            return std::nullopt;
        }
        v[i] = *n;
    }
    if (v[2] < 100 || v[3] < 100 || v[2] > 10000 || v[3] > 10000) {
        return std::nullopt;
    }
    return WindowPlace{v[0], v[1], v[2], v[3]};
}

std::string FormatWindowPlace(const WindowPlace& p) {
    return std::to_string(p.left) + "," + std::to_string(p.top) + "," + std::to_string(p.width) +
           "," + std::to_string(p.height);
}

Rect HistoryWindowRect(const std::optional<WindowPlace>& stored, const std::vector<Rect>& monitors,
                       Rect workArea, unsigned dpi) {
    const auto scale = [dpi](int v) { return static_cast<int>((v * 2LL * dpi + 96) / 192); };
    if (stored) {
        const Rect r{stored->left, stored->top, stored->left + scale(stored->width),
                     stored->top + scale(stored->height)};
        for (const Rect& m : monitors) {
            if (std::max(r.left, m.left) < std::min(r.right, m.right) &&
                std::max(r.top, m.top) < std::min(r.bottom, m.bottom)) {
                return r;
            }
        }
    }
    const int w = std::min(scale(kDefaultHistorySize.width), workArea.right - workArea.left);
    const int h = std::min(scale(kDefaultHistorySize.height), workArea.bottom - workArea.top);
    const int left = workArea.left + (workArea.right - workArea.left - w) / 2;
    const int top = workArea.top + (workArea.bottom - workArea.top - h) / 2;
    return Rect{left, top, left + w, top + h};
}

}  // namespace qm
