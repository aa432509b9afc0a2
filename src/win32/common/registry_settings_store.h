#pragma once

#include <windows.h>

#include <string>

#include "core/common/settings_store.h"

namespace qm::win {

// The program's settings as REG_SZ values of one per-user registry key, by default
// HKEY_CURRENT_USER\Software\Quillmere\Settings. Reading never fails loudly: a missing key or
// value, a value of another type, or one longer than any setting of the program can be,
// all read as the default.
class RegistrySettingsStore final : public SettingsStore {
  public:
    static constexpr const wchar_t* kDefaultKeyPath = L"Software\\Quillmere\\Settings";
    // Longest text value accepted, in UTF-16 units; the program's own values are far shorter.
    static constexpr DWORD kMaxValueChars = 4096;

    explicit RegistrySettingsStore(HKEY root = HKEY_CURRENT_USER,
                                   std::wstring keyPath = kDefaultKeyPath);

    std::string GetSetting(std::string_view key, std::string_view defaultValue) const override;
    bool SaveSetting(std::string_view key, std::string_view value) override;

    const std::wstring& KeyPath() const { return keyPath_; }

  private:
    HKEY root_;
    std::wstring keyPath_;
};

}  // namespace qm::win
