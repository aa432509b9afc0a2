#pragma once

#include <optional>
#include <string>

#include "core/app/run_supervisor.h"
#include "core/defrag/defrag_launch.h"

namespace qm::win {

// The system's real version, from RtlGetVersion: GetVersionEx reports an older one to a
// program whose manifest does not name the newest system.
WindowsVersion ReadWindowsVersion();

// The system folder ("C:\Windows\system32"), without a trailing backslash; empty when unknown.
std::string SystemFolder();

// Whether the disk under a drive letter has a seek penalty (a hard disk, not a solid-state
// drive); nothing when the disk cannot be asked. Needs no administrator rights: the volume
// is opened without access.
std::optional<bool> IncursSeekPenalty(char letter);

// A drive's file system ("NTFS"), as its volume reports it; nothing when it cannot be asked.
std::optional<std::string> FileSystemOf(char letter);

// Whether the system's optimisation service "defragsvc" is disabled; nothing when it cannot be
// opened or asked.
std::optional<bool> OptimisationServiceDisabled();

// What the run needs of this system: its defragmenter syntax, its own defrag.exe, the contig
// tool beside the program, the seek-penalty query, and the way to the service.
DefragSystem ThisDefragSystem(DefragServiceAccess* service = nullptr);

}  // namespace qm::win
