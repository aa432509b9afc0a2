#include "win32/app/end_now_message.h"

namespace qm::win {

UINT AllowEndNowMessage(HWND hwnd) {
    const UINT message = ::RegisterWindowMessageW(kEndNowMessageName);
    if (message != 0) {
        // Without this, a setup program without administrator rights could not end a copy
        // started elevated at logon, and would find the program's files in use.
        ::ChangeWindowMessageFilterEx(hwnd, message, MSGFLT_ALLOW, nullptr);
    }
    return message;
}

}  // namespace qm::win
