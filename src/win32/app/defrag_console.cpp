#include "win32/app/defrag_console.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace qm::win {

namespace {

bool SystemFileExists(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return false;
    }
    const std::wstring path = std::wstring(dir) + L"\\" + name;
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Open(const wchar_t* what) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // No error box of the shell's own: a failure here shows nothing.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = what;
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&info) != FALSE;
}

}  // namespace

bool OpenDefragConsole() {
    if (SystemFileExists(L"dfrg.msc") && Open(L"dfrg.msc")) {
        return true;
    }
    return SystemFileExists(L"dfrgui.exe") && Open(L"dfrgui.exe");
}

}  // namespace qm::win
