#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/geometry.h"
#include "core/common/date_text_format.h"
#include "core/defrag/run_log.h"

namespace qm {

// The history window shows at most this much of the run logs together, the newest part.
inline constexpr std::uint64_t kHistoryTailLimit = 2 * 1024 * 1024;

// The last `limit` bytes of the old log and the log together (older first), from the first
// whole line on.
std::string ReadHistoryText(LogFolder& folder, std::uint64_t limit = kHistoryTailLimit);

// One line of the run log as the history window lists it.
struct HistoryRow {
    std::optional<DateTime> started;  // nothing for a line that could not be read
    std::string drive;                // empty for a note about the run as a whole
    std::string commandLine;
    std::string duration;  // "h:mm:ss"; empty for a note
    std::string outcome;
    bool warning = false;  // failed, skipped or unreadable
};

// The rows of a log text, newest first. Empty lines are left out.
std::vector<HistoryRow> HistoryRows(std::string_view logText);

// The texts of a row's columns: start time (short date and time), drive, duration, outcome
// and command line.
inline constexpr std::size_t kHistoryColumns = 5;
std::array<std::string, kHistoryColumns> HistoryCells(const HistoryRow& row,
                                                      const DateTextFormat& format);

// The rows as tab-separated text, one CR LF ended line each, as Copy puts them on the clipboard.
std::string HistoryTsv(const std::vector<HistoryRow>& rows, const std::vector<std::size_t>& which,
                       const DateTextFormat& format);

// Where the window was: left and top in screen pixels, width and height in pixels at 96 DPI.
struct WindowPlace {
    int left{};
    int top{};
    int width{};
    int height{};
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

inline constexpr WindowPlace kDefaultHistorySize{0, 0, 720, 400};

// "left,top,width,height"; nothing for anything else, or a size below 100 or past 10000.
std::optional<WindowPlace> ParseWindowPlace(std::string_view text);
std::string FormatWindowPlace(const WindowPlace& place);

// The window's rectangle in screen pixels at `dpi`: the stored place when it lies at least
// partly on one of `monitors`, else the default size centred on the primary work area.
Rect HistoryWindowRect(const std::optional<WindowPlace>& stored, const std::vector<Rect>& monitors,
                       Rect primaryWorkArea, unsigned dpi);

}  // namespace qm
