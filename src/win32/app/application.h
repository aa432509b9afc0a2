#pragma once

#include <windows.h>

namespace qm::win {

// Starts the program, runs its message loop until the main window is gone, and returns the
// process exit code.
int RunApplication(HINSTANCE instance);

}  // namespace qm::win
