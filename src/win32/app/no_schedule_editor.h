#pragma once

#include "core/schedule/schedule_editor.h"

namespace qm::win {

// Stands in for the schedule editor window until the program has one: nothing opens.
class NoScheduleEditor final : public ScheduleEditor {
  public:
    void Display(const ScheduleEditorRequest&) override {}
    void Close() override {}
    bool IsOpen() const override { return false; }
};

}  // namespace qm::win
