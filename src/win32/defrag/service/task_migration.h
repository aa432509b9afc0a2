#pragma once

#include <windows.h>

#include <string>

namespace qm::win {

// Where the account of the old logon task is kept for the tray, as a SID in text
// ("S-1-5-21-…"): value LogonTaskUser under HKLM\Software\Quillmere.
inline constexpr wchar_t kMigrationKey[] = L"Software\\Quillmere";
inline constexpr wchar_t kLogonTaskUserValue[] = L"LogonTaskUser";

struct StepFailure {
    DWORD error{};  // 0: done
    std::string step;
};

// Earlier versions started the tray at logon through a Task Scheduler task named "Quillmere";
// the service takes its place. Keeps the account the task ran for, where the scheduler tells
// it, and deletes the task. Nothing to do when there is no such task.
StepFailure MigrateLogonTask();

}  // namespace qm::win
