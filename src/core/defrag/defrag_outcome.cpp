#include "core/defrag/defrag_outcome.h"

#include <charconv>
#include <cstdio>

namespace qm {
namespace {

constexpr std::uint32_t kDefragErrorFamily = 0x89000000;

bool IsDefragError(std::uint32_t code) {
    return (code & 0xFF000000u) == kDefragErrorFamily;
}

// The first "(0x89xxxxxx)" of the output, as the defragmenter ends its error lines.
std::optional<std::uint32_t> FirstErrorCode(std::string_view output) {
    for (std::size_t at = output.find("(0x"); at != std::string_view::npos;
         at = output.find("(0x", at + 1)) {
        const std::string_view rest = output.substr(at + 3);
        if (rest.size() < 9 || rest[8] != ')') {
            continue;
        }
        // Eight hex digits, either case, always fit: a full read is a good one.
        std::uint32_t code{};
        const char* digits = rest.data();
        if (std::from_chars(digits, digits + 8, code, 16).ptr == digits + 8 &&
            IsDefragError(code)) {
            return code;
        }
    }
    return std::nullopt;
}

std::string Hex(std::uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    return text;
}

}  // namespace

std::string DefragErrorReason(std::uint32_t code) {
    switch (code) {
        case 0x89000008:
            return "invalid command line option";
        case 0x89000024:
            return "administrator rights needed";
        case 0x89000000:
            return "an optimisation already runs on the volume";
        case 0x89000010:
            return "the optimisation service could not be reached";
        default:
            return "error " + Hex(code);
    }
}

DriveOutcome ClassifyDefragOutcome(std::optional<std::uint32_t> exitCode, std::string_view output) {
    if (!exitCode) {
        return {DriveOutcome::Kind::kFailed, "the defragmenter could not be started", 0};
    }
    std::optional<std::uint32_t> code = FirstErrorCode(output);
    if (!code && IsDefragError(*exitCode)) {
        code = *exitCode;
    }
    if (code) {
        return {DriveOutcome::Kind::kFailed, DefragErrorReason(*code), *code};
    }
    if (*exitCode != 0) {
        return {DriveOutcome::Kind::kFailed, "exit code " + std::to_string(*exitCode), *exitCode};
    }
    return {};
}

std::string OutcomeText(const DriveOutcome& outcome) {
    switch (outcome.kind) {
        case DriveOutcome::Kind::kOk:
            return "ok";
        case DriveOutcome::Kind::kSkipped:
            return "skipped: " + outcome.reason;
        case DriveOutcome::Kind::kStopped:
            return "stopped";
        case DriveOutcome::Kind::kFailed:
            break;
    }
    const std::string code = Hex(outcome.code);
    const bool named = outcome.code == 0 || outcome.reason.find(code) != std::string::npos;
    return "failed: " + outcome.reason + (named ? "" : " (" + code + ")");
}

}  // namespace qm
