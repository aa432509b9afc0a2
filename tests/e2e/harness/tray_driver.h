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

// The keys that pick a tray menu item in a freshly opened menu, where no item is selected
// yet: Down moves over every item but the separators, disabled ones included.
std::vector<WORD> KeysForDefragNow();  // "Defrag Selected Drive(s) Now", third item
std::vector<WORD> KeysForStop();       // "Stop Current Defrag", fourth while it is there
std::vector<WORD> KeysForExit();       // "Exit", the last item

// The menu's text items from top to bottom as the screen shows them: 'e' for an item drawn
// in dark (enabled) text, 'd' for one drawn only in grey (disabled). Separators are left out.
// Read from the screen because another process cannot read a Wine menu's handle. Empty when
// the popup cannot be captured.
std::string PopupMenuShades(HWND popup);
// The same once two readings 100 ms apart agree (the popup has finished painting).
std::string SettledPopupMenuShades(HWND popup, DWORD timeoutMs = 5000);

// Height of a window in pixels.
int WindowHeight(HWND hwnd);

}  // namespace qm::e2e
