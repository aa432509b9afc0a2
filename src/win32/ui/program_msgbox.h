#pragma once

#include "core/ui/msgbox_enhanced.h"

namespace qm::win {

// The program's one message box, created on first use; its properties keep their values
// from message to message. Call from the user-interface thread only.
MsgBoxEnhanced& ProgramMsgBox();

// Lets the program-wide box go (at the end of the program). A later ProgramMsgBox() starts
// again from the defaults.
void ReleaseProgramMsgBox();

// The appearance the program gives its box at start-up: the ridge under the heading, a box
// the user can move, and a centred prompt.
void ApplyStartUpAppearance(MsgBoxEnhanced& box);

// The start-up message of a second copy of the program, with the start-up appearance.
// Returns the box's result.
int ShowAlreadyRunningMessage();

}  // namespace qm::win
