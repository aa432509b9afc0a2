#pragma once

#include <windows.h>

#include <string>

namespace qm::win {

// The logon task "Quillmere" of the Task Scheduler (2.0, from Windows Vista on). Registering and
// removing it needs administrator rights.
HRESULT RegisterLogonTask(const std::wstring& xml);
HRESULT RemoveLogonTask();
bool LogonTaskExists();

// The user the task is for, as "DOMAIN\user"; empty when it cannot be read.
std::wstring CurrentUserId();

// The system's Program Files folder, which standard users cannot write to; empty when unknown.
std::wstring ProgramFilesFolder();

}  // namespace qm::win
