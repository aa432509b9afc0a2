#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// How one drive's defragmentation ended.
struct DriveOutcome {
    enum class Kind {
        kOk,
        kFailed,
        kSkipped,  // not applicable to this drive, now or ever: no failure
        kStopped,
        kBusy,  // another optimisation had the volume: try again once it has ended
    };
    Kind kind = Kind::kOk;
    std::string reason;    // for kFailed and kSkipped: "administrator rights needed"
    std::uint32_t code{};  // the error code behind the reason, 0 when none

    bool Failed() const { return kind == Kind::kFailed; }
};

// The defragmenter's answer to a caller without administrator rights.
inline constexpr std::uint32_t kNeedsAdministratorRights = 0x89000024;

// An optimisation of the volume by someone else (the Optimize Drives window, say).
inline constexpr std::uint32_t kVolumeBusy = 0x89000000;

// Later systems' defragmenter reports its errors as codes in parentheses, "(0x89000024)", in
// its output and not always in its exit code (a refusal may still exit with 0), and not only
// its own family: a general error such as 0x80070422 (the optimisation service disabled) comes
// as it is. The first code with its top bit set, in the output or else as the exit code,
// decides: the answers that say the volume cannot be optimised here skip the drive, one that
// says another optimisation has it is kBusy, any other fails the drive. Without such a code a
// drive succeeded when its program exited with 0. No exit code means nothing could be started.
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
