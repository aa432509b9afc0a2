#include "win32/common/shell_open.h"

#include <windows.h>
#include <shellapi.h>

#include "win32/common/com_runtime.h"

namespace qm::win {

bool OpenInShell(const std::wstring& what) {
    if (what.empty()) {
        return false;
    }
    EnsureComApartment();  // the shell may hand the file to a COM handler
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = what.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&info) != FALSE;
}

}  // namespace qm::win
