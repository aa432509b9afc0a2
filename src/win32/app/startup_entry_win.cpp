#include "win32/app/startup_entry_win.h"

#include <windows.h>
#include <sddl.h>

#include <vector>

#include "win32/common/text.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/startup_shortcut_win.h"

namespace qm::win {

WindowsStartupPlatform::WindowsStartupPlatform(std::string exePath, ShortcutPlatform& shortcuts)
    : exePath_(std::move(exePath)), shortcuts_(shortcuts) {}

bool WindowsStartupPlatform::ShortcutExists() {
    return HasStartupShortcut(shortcuts_, kStartupLinkName);
}

bool WindowsStartupPlatform::CreateShortcut() {
    return CreateStartupShortcut(shortcuts_, kStartupLinkName, exePath_, "", "Quillmere");
}

void WindowsStartupPlatform::RemoveShortcut() {
    RemoveStartupShortcut(shortcuts_, kStartupLinkName);
}

std::string RecordedLogonTaskUser() {
    wchar_t sid[256] = {};
    DWORD bytes = sizeof(sid) - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Quillmere", L"LogonTaskUser", RRF_RT_REG_SZ,
                       nullptr, sid, &bytes) != ERROR_SUCCESS) {
        return {};
    }
    return Narrow(sid);
}

std::string OwnAccountSid() {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        return {};
    }
    UniqueHandle token(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    wchar_t* text = nullptr;
    if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size) ||
        !::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
        return {};
    }
    const std::string sid = Narrow(text);
    ::LocalFree(text);
    return sid;
}

}  // namespace qm::win
