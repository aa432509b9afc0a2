#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qm::e2e {

// Where the tests say the icon is: the anchor a version-4 shell passes with each event.
inline constexpr POINT kIconAnchor{640, 400};

// Posts an icon event (WM_CONTEXTMENU, WM_LBUTTONDBLCLK, WM_MOUSEMOVE...) to the program's
// main window the way the shell does it for NOTIFYICON_VERSION_4.
void PostTrayEvent(HWND mainWindow, UINT event, POINT anchor = kIconAnchor);

// The visible popup menu window (class "#32768") of a process, or nullptr.
HWND VisiblePopupMenuOf(DWORD pid);
HWND WaitForPopupMenu(DWORD pid, DWORD timeoutMs = 10000);
bool WaitForPopupMenuGone(DWORD pid, DWORD timeoutMs = 10000);

// Opens the tray menu through the icon's message and waits until it is on screen.
HWND OpenTrayMenu(HWND mainWindow, DWORD pid);

// Keys typed as a user types them (SendInput), e.g. {VK_DOWN, VK_DOWN, VK_RETURN}.
void TypeKeys(const std::vector<WORD>& virtualKeys);

// The keys that pick "Exit", the last item of a freshly opened tray menu.
std::vector<WORD> KeysForExit();

}  // namespace qm::e2e
