#pragma once

#include <vector>

#include "core/schedule/schedule_editor.h"

namespace qm::test {

// Records what the scheduler asked of the editor window.
class FakeScheduleEditor final : public ScheduleEditor {
  public:
    void Display(const ScheduleEditorRequest& request) override {
        requests.push_back(request);
        open = !request.modal;  // a modal editor has closed again when Display returns
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }

    std::vector<ScheduleEditorRequest> requests;
    bool open = false;
};

}  // namespace qm::test
