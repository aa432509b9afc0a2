#include "core/defrag/service_protocol.h"

#include <charconv>
#include <cstdio>
#include <vector>

namespace qm::service {
namespace {

// The words of a line, split at single spaces; `maxWords` - 1 splits at most, the last word
// keeps the rest of the line.
std::vector<std::string_view> Words(std::string_view line, std::size_t maxWords) {
    std::vector<std::string_view> words;
    while (words.size() + 1 < maxWords) {
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) {
            break;
        }
        words.push_back(line.substr(0, space));
        line.remove_prefix(space + 1);
    }
    words.push_back(line);
    return words;
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text, int base = 10) {
    Number value{};
    const char* end = text.data() + text.size();
    if (text.empty() || text.front() == '-' || text.front() == '+' ||
        std::from_chars(text.data(), end, value, base).ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::string Line(std::string_view body) {
    return std::string(kProtocol) + " " + std::string(body) + "\n";
}

std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Unescaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
    }
    return out;
}

std::string Hex8(std::uint32_t code) {
    char text[12];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(code));
    return text;
}

// "ok", "stopped", "failed <code> <reason>", "skipped <code> <reason>".
std::string OutcomeWords(const DriveOutcome& outcome) {
    switch (outcome.kind) {
        case DriveOutcome::Kind::kOk:
            return "ok";
        case DriveOutcome::Kind::kStopped:
            return "stopped";
        case DriveOutcome::Kind::kFailed:
            return "failed " + Hex8(outcome.code) + " " + outcome.reason;
        case DriveOutcome::Kind::kSkipped:
            return "skipped " + Hex8(outcome.code) + " " + outcome.reason;
        case DriveOutcome::Kind::kBusy:
            return "busy " + Hex8(outcome.code) + " " + outcome.reason;
    }
    return "ok";
}

std::optional<DriveOutcome> ParseOutcome(std::string_view text) {
    if (text == "ok") {
        return DriveOutcome{};
    }
    if (text == "stopped") {
        return DriveOutcome{DriveOutcome::Kind::kStopped, "", 0};
    }
    const auto words = Words(text, 3);
    if (words.size() != 3 || words[1].size() != 8 || words[2].empty()) {
        return std::nullopt;
    }
    const auto code = ParseNumber<std::uint32_t>(words[1], 16);
    using enum DriveOutcome::Kind;
    const auto kind = words[0] == "failed"    ? std::optional(kFailed)
                      : words[0] == "skipped" ? std::optional(kSkipped)
                      : words[0] == "busy"    ? std::optional(kBusy)
                                              : std::nullopt;
    if (!code || !kind) {
        return std::nullopt;
    }
    return DriveOutcome{*kind, std::string(words[2]), *code};
}

bool Printable(std::string_view line) {
    for (const char c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
            return false;
        }
    }
    return true;
}

}  // namespace

ClientMessage ParseClientMessage(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (!Printable(line) || !line.starts_with("QMD/")) {
        return Refusal{"not a request"};
    }
    const auto words = Words(line, 5);
    if (words[0] != kProtocol) {
        return Refusal{"unsupported protocol version"};
    }
    if (words.size() == 2 && words[1] == "STOP") {
        return StopRequest{};
    }
    if (words.size() < 2 || (words[1] != "DEFRAG" && words[1] != "STOP")) {
        return Refusal{"unknown request"};
    }
    if (words[1] != "DEFRAG" || words.size() != 4) {
        return Refusal{"malformed request"};
    }
    const std::string_view letter = words[2];
    if (letter.size() != 1 ||
        !((letter[0] >= 'A' && letter[0] <= 'Z') || (letter[0] >= 'a' && letter[0] <= 'z'))) {
        return Refusal{"not a drive letter"};
    }
    const std::string_view priority = words[3];
    if (priority.size() != 1 || priority[0] < '1' || priority[0] > '3') {
        return Refusal{"priority must be 1, 2 or 3"};
    }
    return DefragRequest{static_cast<char>(letter[0] & ~0x20), priority[0] - '0'};
}

std::string DefragMessage(char letter, int priority) {
    return Line("DEFRAG " + std::string(1, letter) + " " + std::to_string(priority));
}

std::string StopMessage() {
    return Line("STOP");
}

std::string StartedMessage(std::uint32_t pid, std::string_view commandLine) {
    return Line("STARTED " + std::to_string(pid) + " " + Escaped(commandLine));
}

std::string OutputMessage(std::string_view text) {
    return Line("OUTPUT " + Escaped(text));
}

std::string EndedMessage(std::uint32_t exitCode, const DriveOutcome& outcome) {
    return Line("ENDED " + std::to_string(exitCode) + " " + Escaped(OutcomeWords(outcome)));
}

std::string BusyMessage() {
    return Line("BUSY");
}

std::string RefusedMessage(std::string_view reason) {
    return Line("REFUSED " + Escaped(reason));
}

ServiceMessage ParseServiceMessage(std::string_view line) {
    if (!line.starts_with(kProtocol) || line.substr(kProtocol.size(), 1) != " ") {
        return OtherVersion{};
    }
    line.remove_prefix(kProtocol.size() + 1);
    const auto words = Words(line, 3);
    const std::string_view verb = words[0];
    if (verb == "BUSY" && words.size() == 1) {
        return Busy{};
    }
    if (verb == "OUTPUT") {
        return Output{Unescaped(line.substr(verb.size() + (words.size() > 1 ? 1 : 0)))};
    }
    if (verb == "REFUSED" && words.size() > 1) {
        return Refusal{Unescaped(line.substr(verb.size() + 1))};
    }
    if (words.size() == 3 && (verb == "STARTED" || verb == "ENDED")) {
        const auto number = ParseNumber<std::uint32_t>(words[1]);
        if (number && verb == "STARTED") {
            return Started{*number, Unescaped(words[2])};
        }
        const auto outcome = ParseOutcome(Unescaped(words[2]));
        if (number && outcome) {
            return Ended{*number, *outcome};
        }
    }
    return Refusal{"the defragmentation service sent a message that could not be read"};
}

bool LineSplitter::Add(std::string_view bytes) {
    for (const char c : bytes) {
        if (overflowed_) {
            return false;
        }
        if (c == '\n') {
            openLength_ = 0;
        } else if (++openLength_ > maxLine_) {
            overflowed_ = true;
            return false;
        }
        buffer_ += c;
    }
    return !overflowed_;
}

std::optional<std::string> LineSplitter::Next() {
    const std::size_t end = buffer_.find('\n');
    if (end == std::string::npos) {
        return std::nullopt;
    }
    std::string line = buffer_.substr(0, end);
    buffer_.erase(0, end + 1);
    return line;
}

}  // namespace qm::service
