#pragma once

#include <map>
#include <optional>
#include <string>

#include "core/common/settings_store.h"

namespace qm {

// A settings store held in memory: what the core's tests use, and a scratch store where
// nothing must persist.
class MemorySettingsStore final : public SettingsStore {
  public:
    std::string GetSetting(std::string_view key, std::string_view defaultValue) const override;
    bool SaveSetting(std::string_view key, std::string_view value) override;

    std::optional<std::string> Find(std::string_view key) const;
    void Erase(std::string_view key);
    const std::map<std::string, std::string, std::less<>>& Values() const { return values_; }

    // Makes every later write fail, as a full or locked store would.
    void FailWrites(bool fail) { failWrites_ = fail; }

  private:
    std::map<std::string, std::string, std::less<>> values_;
    bool failWrites_ = false;
};

}  // namespace qm
