#include "core/common/memory_settings_store.h"

namespace qm {

std::string MemorySettingsStore::GetSetting(std::string_view key,
                                            std::string_view defaultValue) const {
    auto it = values_.find(key);
    return it != values_.end() ? it->second : std::string(defaultValue);
}

bool MemorySettingsStore::SaveSetting(std::string_view key, std::string_view value) {
    if (failWrites_) {
        return false;
    }
    values_.insert_or_assign(std::string(key), std::string(value));
    return true;
}

std::optional<std::string> MemorySettingsStore::Find(std::string_view key) const {
    auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

void MemorySettingsStore::Erase(std::string_view key) {
    auto it = values_.find(key);
    if (it != values_.end()) {
        values_.erase(it);
    }
}

}  // namespace qm
