#include "win32/app/defrag_console.h"

#include <windows.h>

#include <string>

#include "win32/common/shell_open.h"

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

}  // namespace

bool OpenDefragConsole() {
    return OpenInShell(SystemFile(L"dfrg.msc")) || OpenInShell(SystemFile(L"dfrgui.exe"));
}

}  // namespace qm::win
