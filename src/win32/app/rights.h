#pragma once

#include <windows.h>

#include <string>

#include "core/app/startup_entry.h"

namespace qm::win {

// Whether this process runs elevated, and whether its user could elevate (an administrator
// whose token is split).
ProcessRights ReadProcessRights();

// Starts this program's own executable elevated ("runas", with the system's prompt) with
// `arguments`. `wait`: waits for it to end and gives its exit code. The system's error when it
// could not be started (ERROR_CANCELLED when the user declined).
struct ElevatedStart {
    DWORD error = ERROR_SUCCESS;
    DWORD exitCode = 0;
};
ElevatedStart StartSelfElevated(const std::wstring& arguments, bool wait);

}  // namespace qm::win
