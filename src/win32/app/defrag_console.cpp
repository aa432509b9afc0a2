#include "win32/app/defrag_console.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace qm::win {

namespace {

// A file of the system folder by its full path, so that nothing in the current folder or on the
// search path stands in for it; empty when it is not there.
std::wstring SystemFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return {};
    }
    const std::wstring path = std::wstring(dir) + L"\\" + name;
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? path : std::wstring();
}

bool Open(const std::wstring& what) {
    if (what.empty()) {
        return false;
    }
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // No error box of the shell's own: a failure here shows nothing.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = what.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&info) != FALSE;
}

}  // namespace

bool OpenDefragConsole() {
    return Open(SystemFile(L"dfrg.msc")) || Open(SystemFile(L"dfrgui.exe"));
}

}  // namespace qm::win
