#pragma once

#include "core/defrag/defrag_service.h"

namespace qm::win {

// The drives of this computer, as the system sees them at the moment of asking.
class ServiceVolumes final : public service::Volumes {
  public:
    bool IsFixedVolume(char letter) override;
};

}  // namespace qm::win
