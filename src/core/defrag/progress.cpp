#include "core/defrag/progress.h"

#include <algorithm>

namespace qm {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The length of the space at `at` (" " or a UTF-8 no-break space), or 0.
std::size_t SpaceAt(std::string_view text, std::size_t at) {
    if (text.substr(at, 1) == " ") {
        return 1;
    }
    return text.substr(at, 2) == "\xC2\xA0" ? 2 : 0;
}

// The length of the space that ends at `end`, or 0.
std::size_t SpaceBefore(std::string_view text, std::size_t end) {
    if (end >= 1 && text[end - 1] == ' ') {
        return 1;
    }
    return end >= 2 && text.substr(end - 2, 2) == "\xC2\xA0" ? 2 : 0;
}

// A number of ASCII digits from `begin` to `end`: 0 to 100, or nothing. A minus sign in front
// makes it no percentage.
std::optional<int> Percent(std::string_view text, std::size_t begin, std::size_t end) {
    if (begin >= end || end - begin > 3 || (begin > 0 && text[begin - 1] == '-')) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    return value <= 100 ? std::optional(value) : std::nullopt;
}

std::optional<int> NumberBeside(std::string_view text, std::size_t sign) {
    std::size_t end = sign - SpaceBefore(text, sign);
    std::size_t begin = end;
    while (begin > 0 && IsDigit(text[begin - 1])) {
        --begin;
    }
    if (begin < end) {
        return Percent(text, begin, end);
    }
    begin = sign + 1 + SpaceAt(text, sign + 1);
    end = begin;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return Percent(text, begin, end);
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (const std::size_t space = SpaceBefore(text, text.size())) {
        text.remove_suffix(space);
    }
    return text;
}

}  // namespace

std::optional<DefragProgress> ParseProgressLine(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    for (std::size_t sign = line.find('%', colon); sign != std::string_view::npos;
         sign = line.find('%', sign + 1)) {
        if (const std::optional<int> percent = NumberBeside(line, sign)) {
            return DefragProgress{*percent, std::string(Trimmed(line.substr(0, colon)))};
        }
    }
    return std::nullopt;
}

bool ProgressReader::Feed(std::string_view text) {
    bool moved = false;
    for (const char c : text) {
        if (c != '\r' && c != '\n') {
            overlong_ = overlong_ || line_.size() >= kMaxLine;
            if (!overlong_) {
                line_ += c;
            }
            continue;
        }
        if (!overlong_) {
            if (std::optional<DefragProgress> progress = ParseProgressLine(line_);
                progress && progress != latest_) {
                latest_ = std::move(progress);
                moved = true;
            }
        }
        line_.clear();
        overlong_ = false;
    }
    return moved;
}

std::string CutToUtf16Units(std::string_view text, std::size_t units) {
    std::size_t used = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        const std::size_t needs = length == 4 ? 2 : 1;  // a surrogate pair past the basic plane
        if (used + needs > units) {
            break;
        }
        used += needs;
        at += length;
    }
    return std::string(text.substr(0, std::min(at, text.size())));
}

std::string ProgressTip(const std::string& drive, const DefragProgress& progress) {
    std::string tip =
        std::string(kPlainTip) + " - " + drive + " " + std::to_string(progress.percent) + "%";
    if (!progress.pass.empty()) {
        tip += " - " + progress.pass;
    }
    return CutToUtf16Units(tip, kMaxTipUnits);
}

std::string ProgressBalloonLine(const std::string& drive,
                                const std::optional<DefragProgress>& progress) {
    std::string line = "Defragmenting drive " + drive;
    if (progress) {
        line += " - " + std::to_string(progress->percent) + "%";
    }
    return line;
}

}  // namespace qm
