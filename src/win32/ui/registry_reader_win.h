#pragma once

#include "core/ui/registry_value.h"

namespace qm::win {

// The registry, read through keys opened for reading only: every user may read the keys the
// program asks, and a standard user may not write them.
class Win32RegistryReader final : public RegistryReader {
  public:
    std::optional<RegistryData> Query(std::uint32_t root, std::u16string_view key,
                                      std::u16string_view value) override;
    std::u16string ExpandEnvironment(std::u16string_view text) override;
};

}  // namespace qm::win
