#include "win32/ui/registry_reader_win.h"

#include <windows.h>

#include "win32/common/unique_handle.h"

namespace qm::win {

namespace {

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// The predefined keys are 32-bit values sign-extended to a handle.
HKEY RootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

}  // namespace

std::optional<RegistryData> Win32RegistryReader::Query(std::uint32_t root,
                                                       std::u16string_view keyName,
                                                       std::u16string_view valueName) {
    UniqueHkey key;
    if (::RegOpenKeyExW(RootKey(root), Wide(keyName).c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    const std::wstring name = Wide(valueName);
    // The value may grow between asking its size and reading it: ask again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        RegistryData data{type, std::vector<std::uint8_t>(size)};
        const LONG read =
            ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.bytes.data(), &size);
        if (read == ERROR_SUCCESS) {
            data.type = type;
            data.bytes.resize(size);
            return data;
        }
        if (read != ERROR_MORE_DATA) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::u16string Win32RegistryReader::ExpandEnvironment(std::u16string_view text) {
    const std::wstring in = Wide(text);
    const DWORD needed = ::ExpandEnvironmentStringsW(in.c_str(), nullptr, 0);
    if (needed == 0) {
        return std::u16string(text);
    }
    std::wstring out(needed, L'\0');
    const DWORD written = ::ExpandEnvironmentStringsW(in.c_str(), out.data(), needed);
    if (written == 0 || written > needed) {
        return std::u16string(text);
    }
    out.resize(written - 1);
    return std::u16string(out.begin(), out.end());
}

}  // namespace qm::win
