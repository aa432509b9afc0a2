#pragma once

#include "core/app/program_settings.h"
#include "core/schedule/schedule_module.h"
#include "win32/app/power_source.h"
#include "win32/app/process_terminator_win.h"
#include "win32/common/locale_date_format.h"
#include "win32/common/registry_settings_store.h"
#include "win32/common/system_clock.h"
#include "win32/defrag/defrag_launcher.h"
#include "win32/defrag/defrag_system.h"
#include "win32/defrag/log_folder.h"
#include "win32/defrag/service_access_win.h"
#include "win32/defrag/toolhelp_process_table.h"

namespace qm::win {

// The program-wide state and the system services behind it: one of each per process, made
// at start-up and kept until the end.
struct Program {
    RegistrySettingsStore store;
    LocaleDateTextFormat dates;
    SystemClock clock;
    SystemMonotonicClock ticks;
    ScheduleModule schedule{clock};
    ToolhelpProcessTable processes;
    CreateProcessLauncher launcher;
    WindowsVersion version = ReadWindowsVersion();
    WindowsDefragService defragService;
    DefragSystem defragSystem = ThisDefragSystem(&defragService);
    LocalLogFolder runLog;
    SystemPowerSource power;
    Win32ProcessTerminator terminator;
    RunSettings run;
    bool isWindowsNT = true;
};

}  // namespace qm::win
