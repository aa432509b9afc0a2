#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// How one drive's defragmentation ended.
struct DriveOutcome {
    enum class Kind { kOk, kFailed, kSkipped, kStopped };
    Kind kind = Kind::kOk;
    std::string reason;    // for kFailed and kSkipped: "administrator rights needed"
    std::uint32_t code{};  // for kFailed: the error code behind the reason, 0 when none

    bool Failed() const { return kind == Kind::kFailed; }
};

// The defragmenter's answer to a caller without administrator rights.
inline constexpr std::uint32_t kNeedsAdministratorRights = 0x89000024;

// Later systems' defragmenter reports its errors as codes 0x89xxxxxx, in its output and not
// always in its exit code (a refusal for want of rights may still exit with 0). A drive
// succeeded when its program exited with 0 and its output names no such code. No exit code
// means nothing could be started.
DriveOutcome ClassifyDefragOutcome(std::optional<std::uint32_t> exitCode, std::string_view output);
// The same from the codes an output named, in order (OutputWatch::Codes).
DriveOutcome ClassifyDefragOutcome(std::optional<std::uint32_t> exitCode,
                                   const std::vector<std::uint32_t>& codes);

// The words for a defragmenter error code: the common ones by name, the others by number.
std::string DefragErrorReason(std::uint32_t code);

// "ok", "failed: administrator rights needed (0x89000024)", "skipped: solid-state drive",
// "stopped": how the run log writes an outcome.
std::string OutcomeText(const DriveOutcome& outcome);

}  // namespace qm
