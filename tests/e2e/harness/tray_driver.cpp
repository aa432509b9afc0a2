#include "e2e/harness/tray_driver.h"

#include <algorithm>
#include <vector>

#include "e2e/harness/windows.h"
#include "win32/common/unique_handle.h"

namespace qm::e2e {

void PostTrayEvent(HWND mainWindow, UINT event, POINT anchor) {
    ::PostMessageW(mainWindow, WM_MOUSEMOVE,
                   MAKEWPARAM(static_cast<WORD>(anchor.x), static_cast<WORD>(anchor.y)),
                   MAKELPARAM(event, 1));
}

HWND VisiblePopupMenuOf(DWORD pid) {
    for (HWND w : TopLevelWindowsOf(pid)) {
        if (ClassNameOf(w) == L"#32768" && ::IsWindowVisible(w)) {
            return w;
        }
    }
    return nullptr;
}

HWND WaitForPopupMenu(DWORD pid, DWORD timeoutMs) {
    HWND popup = nullptr;
    WaitUntil([&] { return (popup = VisiblePopupMenuOf(pid)) != nullptr; }, timeoutMs);
    return popup;
}

bool WaitForPopupMenuGone(DWORD pid, DWORD timeoutMs) {
    return WaitUntil([&] { return VisiblePopupMenuOf(pid) == nullptr; }, timeoutMs);
}

HWND OpenTrayMenu(HWND mainWindow, DWORD pid) {
    PostTrayEvent(mainWindow, WM_CONTEXTMENU);
    return WaitForPopupMenu(pid);
}

void TypeKeys(const std::vector<WORD>& virtualKeys) {
    for (WORD vk : virtualKeys) {
        INPUT keys[2]{};
        keys[0].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = vk;
        keys[1] = keys[0];
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, keys, sizeof(INPUT));
        // The menu handles one key at a time; give its thread the moment a hand would.
        ::Sleep(60);
    }
}

std::vector<WORD> KeysForExit() {
    return {VK_UP, VK_RETURN};
}

}  // namespace qm::e2e
