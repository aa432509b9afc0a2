#include "core/app/program_arguments.h"

#include "core/app/setting_conversions.h"
#include "core/defrag/text_case.h"

namespace qm {

ProgramArguments ParseProgramArguments(const std::vector<std::string>& arguments) {
    ProgramArguments parsed;
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        const std::string name = AsciiLower(arguments[i]);
        const std::string value = AsciiLower(arguments[i + 1]);
        if (name == "/startup-task" && (value == "register" || value == "remove")) {
            parsed.mode = value == "register" ? ProgramArguments::Mode::kRegisterTask
                                              : ProgramArguments::Mode::kRemoveTask;
        } else if (name == "/restart-after") {
            const auto pid = ParseWholeNumber(value);
            if (pid && *pid > 0 && *pid <= 0xFFFFFFFF && NumberTextEquals(value, *pid)) {
                parsed.restartAfter = static_cast<std::uint32_t>(*pid);
            }
        }
    }
    return parsed;
}

}  // namespace qm
