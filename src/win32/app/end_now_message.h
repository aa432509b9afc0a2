#pragma once

#include <windows.h>

namespace qm::win {

// The window message by which the setup program and its uninstaller ask a running copy to end
// before they replace or remove it. The copy ends as on Exit, saving its schedule, without the
// exit question. A copy running with administrator rights hears no WM_CLOSE from a program
// without them (the system filters it); a registered message of its own can be let through.
// The setup script reads the name from here when the package is built.
inline constexpr wchar_t kEndNowMessageName[] = L"Quillmere.EndNow";

// Registers the message and lets it reach `hwnd` from programs of any rights; returns its
// number in this session, or 0 when it cannot be registered.
UINT AllowEndNowMessage(HWND hwnd);

}  // namespace qm::win
