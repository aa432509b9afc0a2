#include "core/defrag/defrag_outcome.h"

#include <algorithm>
#include <cstdio>

#include "core/defrag/console_output.h"

namespace qm {
namespace {

bool IsErrorCode(std::uint32_t code) {
    return (code & 0x80000000u) != 0;
}

// The answers that say this volume is not one the defragmenter can optimise.
bool NotApplicable(std::uint32_t code) {
    return code == 0x8900002A || code == 0x89000020 || code == 0x8900000D;
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
        case kVolumeBusy:
            return "another optimisation is running on the volume";
        case 0x89000010:
            return "the optimisation service could not be reached";
        case 0x8900002A:
            return "not supported by the hardware backing the volume";
        case 0x89000020:
            return "not supported on this file system";
        case 0x8900000D:
            return "the volume cannot be optimised";
        case 0x80070422:
            return "the system's optimisation service is disabled";
        case 0x80070005:
            return "access denied";
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
    if (const auto named = std::find_if(codes.begin(), codes.end(), IsErrorCode);
        named != codes.end()) {
        code = *named;
    } else if (IsErrorCode(*exitCode)) {
        code = *exitCode;
    }
    if (code) {
        const DriveOutcome::Kind kind = NotApplicable(*code)   ? DriveOutcome::Kind::kSkipped
                                        : *code == kVolumeBusy ? DriveOutcome::Kind::kBusy
                                                               : DriveOutcome::Kind::kFailed;
        return {kind, DefragErrorReason(*code), *code};
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
        case DriveOutcome::Kind::kStopped:
            return "stopped";
        case DriveOutcome::Kind::kSkipped:
        case DriveOutcome::Kind::kBusy:
        case DriveOutcome::Kind::kFailed:
            break;
    }
    const std::string code = Hex(outcome.code);
    const bool named = outcome.code == 0 || outcome.reason.find(code) != std::string::npos;
    const char* word = outcome.kind == DriveOutcome::Kind::kFailed    ? "failed: "
                       : outcome.kind == DriveOutcome::Kind::kSkipped ? "skipped: "
                                                                      : "busy: ";
    return word + outcome.reason + (named ? "" : " (" + code + ")");
}

}  // namespace qm
