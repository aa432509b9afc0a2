#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm {

// What the program was started to do.
struct ProgramArguments {
    enum class Mode {
        kTray,          // the normal start: the program in the notification area
        kRegisterTask,  // "/startup-task register": an elevated copy registers the logon task
        kRemoveTask,    // "/startup-task remove": ... or removes it, and ends
    };
    Mode mode = Mode::kTray;
    // "/restart-after <pid>": the copy that asked for this elevated one; it is waited for, so
    // that this one is not turned away as a second copy.
    std::optional<std::uint32_t> restartAfter;
};

// The arguments after the program's name; anything unknown is ignored.
ProgramArguments ParseProgramArguments(const std::vector<std::string>& arguments);

}  // namespace qm
