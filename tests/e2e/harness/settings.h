#pragma once

#include <optional>
#include <string>

namespace qm::e2e {

// The program's real settings key, HKCU\Software\Quillmere\Settings, as the test sees it.
void SetSetting(const std::wstring& name, const std::wstring& value);
// A value of any registry type and content, as damage or another program may leave it.
void SetRawSetting(const std::wstring& name, unsigned long type, const void* data,
                   unsigned long bytes);
std::optional<std::wstring> GetSetting(const std::wstring& name);
void ClearSettings();

}  // namespace qm::e2e
