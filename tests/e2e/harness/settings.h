#pragma once

#include <optional>
#include <string>

namespace qm::e2e {

// The program's real settings key, HKCU\Software\Quillmere\Settings, as the test sees it.
void SetSetting(const std::wstring& name, const std::wstring& value);
std::optional<std::wstring> GetSetting(const std::wstring& name);
void ClearSettings();

}  // namespace qm::e2e
