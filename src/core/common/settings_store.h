#pragma once

#include <string>
#include <string_view>

namespace qm {

// The per-user store of the program's text values. It is bound to the program's own place
// (application "Quillmere", section "Settings"); keys are the names of the settings table.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // The stored text of `key`, or `defaultValue` when the key is absent or its value cannot
    // be read as text. Never throws.
    virtual std::string GetSetting(std::string_view key, std::string_view defaultValue) const = 0;

    // Stores `value` as the text of `key`. Returns false when the store could not write it;
    // the program decides whether that is worth telling anyone (usually it is not).
    virtual bool SaveSetting(std::string_view key, std::string_view value) = 0;
};

}  // namespace qm
