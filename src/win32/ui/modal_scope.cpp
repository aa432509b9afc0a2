#include "win32/ui/modal_scope.h"

#include "win32/common/dialog.h"

namespace qm::win {
namespace {

struct EnumState {
    HWND except;
    std::vector<HWND>* disabled;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    if (window != state->except && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        ::EnableWindow(window, FALSE);
        state->disabled->push_back(window);
    }
    return TRUE;
}

}  // namespace

ThreadWindowsDisabled::ThreadWindowsDisabled(HWND except) {
    EnumState state{except, &disabled_};
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&state));
}

ThreadWindowsDisabled::~ThreadWindowsDisabled() {
    // In reverse, so the window that was disabled first is enabled last.
    for (auto it = disabled_.rbegin(); it != disabled_.rend(); ++it) {
        if (::IsWindow(*it)) {
            ::EnableWindow(*it, TRUE);
        }
    }
}

bool RunNestedLoop(const std::function<bool()>& done) {
    MSG msg;
    while (!done()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (got == -1) {
            return false;
        }
        if (TranslateDialogMessage(msg)) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace qm::win
