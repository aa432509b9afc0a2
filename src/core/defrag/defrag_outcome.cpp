#include "core/defrag/defrag_outcome.h"

#include <algorithm>
#include <cstdio>

#include "core/defrag/console_output.h"

namespace qm {
namespace {

constexpr std::uint32_t kDefragErrorFamily = 0x89000000;

bool IsDefragError(std::uint32_t code) {
    return (code & 0xFF000000u) == kDefragErrorFamily;
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
    OutputWatch watch;
    watch.Feed(output);
    return ClassifyDefragOutcome(exitCode, watch.Codes());
}

DriveOutcome ClassifyDefragOutcome(std::optional<std::uint32_t> exitCode,
                                   const std::vector<std::uint32_t>& codes) {
    if (!exitCode) {
        return {DriveOutcome::Kind::kFailed, "the defragmenter could not be started", 0};
    }
    std::optional<std::uint32_t> code;
    if (const auto named = std::find_if(codes.begin(), codes.end(), IsDefragError);
        named != codes.end()) {
        code = *named;
    }
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
