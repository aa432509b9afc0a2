#include "core/defrag/drive_state.h"

namespace qm {

std::string MediaText(std::optional<bool> incursSeekPenalty) {
    if (!incursSeekPenalty) {
        return {};
    }
    return *incursSeekPenalty ? "hard disk" : "solid-state";
}

std::string LastResultText(const std::vector<HistoryRow>& rows, std::string_view drive,
                           const DateTextFormat& dates) {
    for (const HistoryRow& row : rows) {
        if (!row.started || row.drive != drive) {
            continue;
        }
        const std::string date = dates.FormatShortDate(row.started->DatePart());
        const std::string_view outcome = row.outcome;
        if (outcome == "ok") {
            return "defragmented " + date;
        }
        const std::size_t colon = outcome.find(": ");
        if (colon == std::string_view::npos) {
            return std::string(outcome) + " " + date;
        }
        std::string_view reason = outcome.substr(colon + 2);
        if (const std::size_t code = reason.rfind(" (0x");
            code != std::string_view::npos && reason.ends_with(")")) {
            reason = reason.substr(0, code);
        }
        return std::string(outcome.substr(0, colon)) + " " + date + " - " + std::string(reason);
    }
    return "never";
}

}  // namespace qm
