#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace qm::e2e {

// Polls `condition` until it holds or the time is up; true when it held. Messages of the
// test's own thread are pumped meanwhile.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs = 50);

std::vector<HWND> TopLevelWindowsOf(DWORD pid);
std::vector<HWND> ChildWindowsOf(HWND parent);
std::wstring ClassNameOf(HWND hwnd);
// A window's text read with WM_GETTEXT, which works across processes where
// GetWindowText does not.
std::wstring TextOf(HWND hwnd);
// The first window of `pid` (top-level or child) whose text is `text`.
HWND FindWindowWithText(DWORD pid, const std::wstring& text);
// A child of `parent` with the given text, e.g. a button caption.
HWND FindChildWithText(HWND parent, const std::wstring& text);
// Whether the notification area holds the icon (owner window, id).
bool TrayIconExists(HWND owner, UINT id);

}  // namespace qm::e2e
