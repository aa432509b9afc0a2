#pragma once

#include "core/app/process_terminator.h"

namespace qm::win {

class Win32ProcessTerminator final : public ProcessTerminator {
  public:
    bool EndProcess(std::uint32_t pid) override;
};

}  // namespace qm::win
