#pragma once

#include <windows.h>

#include <functional>
#include <map>

#include "win32/ui/message_box_window.h"

namespace qm::test {

// Acts on the open message box from inside its own message loop, as a user would: a thread
// timer whose action runs `ms` after it is set, while MsgBox is waiting.
class BoxDriver {
  public:
    ~BoxDriver() { CancelAll(); }

    void After(UINT ms, std::function<void()> action) {
        const UINT_PTR id = ::SetTimer(nullptr, 0, ms, &BoxDriver::OnTimer);
        Actions()[id] = std::move(action);
        ids_.push_back(id);
    }

    void CancelAll() {
        for (UINT_PTR id : ids_) {
            ::KillTimer(nullptr, id);
            Actions().erase(id);
        }
        ids_.clear();
    }

    // The newest open box (boxes opened later lie above earlier ones).
    static HWND FindBox() { return ::FindWindowW(qm::win::kMessageBoxClassName, nullptr); }
    static HWND ButtonOf(HWND box, int index) {
        return ::GetDlgItem(box, qm::win::kMsgButtonFirstId + index);
    }

    // Lets the thread's messages run for a while (for modeless boxes).
    static void Pump(UINT ms) {
        const ULONGLONG end = ::GetTickCount64() + ms;
        MSG msg;
        while (::GetTickCount64() < end) {
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            ::Sleep(5);
        }
    }

  private:
    static std::map<UINT_PTR, std::function<void()>>& Actions() {
        static std::map<UINT_PTR, std::function<void()>> actions;
        return actions;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        auto node = Actions().extract(id);
        if (!node.empty()) {
            node.mapped()();
        }
    }

    std::vector<UINT_PTR> ids_;
};

}  // namespace qm::test
