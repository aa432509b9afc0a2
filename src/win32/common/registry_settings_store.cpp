#include "win32/common/registry_settings_store.h"

#include <vector>

#include "win32/common/text.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

RegistrySettingsStore::RegistrySettingsStore(HKEY root, std::wstring keyPath)
    : root_(root), keyPath_(std::move(keyPath)) {}

std::string RegistrySettingsStore::GetSetting(std::string_view key,
                                              std::string_view defaultValue) const {
    UniqueHkey hkey;
    if (::RegOpenKeyExW(root_, keyPath_.c_str(), 0, KEY_QUERY_VALUE, hkey.put()) != ERROR_SUCCESS) {
        return std::string(defaultValue);
    }
    const std::wstring name = Widen(key);
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ || bytes > kMaxValueChars * sizeof(wchar_t)) {
        return std::string(defaultValue);
    }
    // One extra unit so that a value stored without its terminating NUL still ends in one.
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
    DWORD got = bytes;
    if (::RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(buffer.data()), &got) != ERROR_SUCCESS ||
        type != REG_SZ) {
        // Changed under our feet (grown, or retyped): treat as unreadable.
        return std::string(defaultValue);
    }
    // The text ends at the first NUL, whether or not the writer stored one.
    return Narrow(std::wstring_view(buffer.data()));
}

bool RegistrySettingsStore::SaveSetting(std::string_view key, std::string_view value) {
    UniqueHkey hkey;
    if (::RegCreateKeyExW(root_, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, hkey.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring name = Widen(key);
    const std::wstring text = Widen(value);
    // REG_SZ data includes its terminating NUL.
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(hkey.get(), name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
}

}  // namespace qm::win
