#pragma once

#include <optional>
#include <string>

namespace qm::win {

// The program's seams for its end-to-end tests: closed unless the environment variable
// QM_TEST_HOOKS names a folder. Then the text of a file there stands in for what the system
// would say: "power.txt" ("battery" or "mains") for the power status, "clock-offset.txt" (whole
// seconds) moves the clock. A user's program never has the variable; it costs one look at the
// environment at start-up.
std::optional<std::string> TestHookValue(const char* file);

// Adds a line to a file there ("notices.txt": the notifications the tray icon showed), so that
// a test can count what happened beside what the system shows of it; nothing without the
// variable.
void RecordTestHookLine(const char* file, const std::string& line);

}  // namespace qm::win
