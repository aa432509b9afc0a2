#pragma once

namespace qm::win {

// Opens the system's defragmenter console: "dfrg.msc" where the system has it, else the
// drive optimiser (dfrgui.exe) of later systems. Failure opens nothing and says nothing.
bool OpenDefragConsole();

}  // namespace qm::win
