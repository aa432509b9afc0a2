#pragma once

#include <cstdint>

namespace qm {

// Ends a process by id; false when it cannot be opened or ended (it may have gone already).
class ProcessTerminator {
  public:
    virtual ~ProcessTerminator() = default;
    virtual bool EndProcess(std::uint32_t pid) = 0;
};

}  // namespace qm
