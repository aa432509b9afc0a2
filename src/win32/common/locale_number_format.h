#pragma once

#include "core/defrag/drive_statistics.h"

namespace qm::win {

// The decimal and group separators and the digit grouping of the user's regional settings;
// the program's defaults (".", "," in threes) for whatever cannot be read.
NumberSeparators UserNumberSeparators();

}  // namespace qm::win
