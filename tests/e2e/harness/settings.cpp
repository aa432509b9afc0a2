#include "e2e/harness/settings.h"

#include <windows.h>

#include <vector>

#include "win32/common/unique_handle.h"

namespace qm::e2e {

namespace {
constexpr const wchar_t* kKey = L"Software\\Quillmere\\Settings";
}

void SetRawSetting(const std::wstring& name, unsigned long type, const void* data,
                   unsigned long bytes) {
    win::UniqueHkey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                          nullptr) == ERROR_SUCCESS) {
        ::RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
    }
}

void SetSetting(const std::wstring& name, const std::wstring& value) {
    SetRawSetting(name, REG_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::wstring> GetSetting(const std::wstring& name) {
    win::UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0, bytes = 0;
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(buffer.data());
}

void ClearSettings() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quillmere");
}

}  // namespace qm::e2e
