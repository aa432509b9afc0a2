#pragma once
// Finding the program's windows and acting on them as a user or the shell would.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace qm::e2e {

// Polls `condition` until it holds or the time is up; true when it held. Messages of the
// test's own thread are pumped meanwhile.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs = 50);

std::vector<HWND> TopLevelWindowsOf(DWORD pid);
// The first top-level window of `pid` of this class, a visible one unless `hiddenToo`; or nullptr.
HWND WindowOfClass(DWORD pid, const wchar_t* className, bool hiddenToo = false);
// A window's text read with WM_GETTEXT, which works across processes where
// GetWindowText does not.
std::wstring TextOf(HWND hwnd);
// The first window of `pid` (top-level or child) whose text is `text`.
HWND FindWindowWithText(DWORD pid, const std::wstring& text);
// A child of `parent` with the given text, e.g. a button caption.
HWND FindChildWithText(HWND parent, const std::wstring& text);
// Waits until such a window of `pid` shows (on its top-level window: a message's text may sit
// in a hidden child); the window, or nullptr when the time is up.
HWND WaitForWindowWithText(DWORD pid, const std::wstring& text, DWORD timeoutMs = 10000);
// Whether the notification area holds the icon (owner window, id).
bool TrayIconExists(HWND owner, UINT id);

// Where the tests say the icon is: the anchor a version-4 shell passes with each event.
inline constexpr POINT kIconAnchor{640, 400};
// Posts an icon event (WM_CONTEXTMENU, WM_MOUSEMOVE...) to the program's main window the way
// the shell does it for NOTIFYICON_VERSION_4.
void PostTrayEvent(HWND mainWindow, UINT event);
// The program's visible popup menu, or nullptr.
HWND PopupMenuOf(DWORD pid);
// Opens the tray menu through the icon's message; the menu once it is on screen, or nullptr.
HWND OpenTrayMenu(HWND mainWindow, DWORD pid);
// Keys typed as a user types them (SendInput), e.g. {VK_DOWN, VK_DOWN, VK_RETURN}.
void TypeKeys(const std::vector<WORD>& virtualKeys);

// The texts of the balloons the shell's notification area shows now (tooltips of another
// process: read through a buffer in it); with `allTips`, every tool of hidden tooltips too,
// where the shell keeps its icons' tips.
std::vector<std::wstring> ShellBalloonTexts(bool allTips = false);

// Saves the screen around a window, as the display shows it now, into `name`.bmp in the
// scenario's screenshot folder: scripts/e2e-scenario.sh turns it into build/screenshots/*.png.
bool SaveScreenshot(HWND window, int margin, const std::wstring& name);

}  // namespace qm::e2e
