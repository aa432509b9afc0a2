#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "core/schedule/schedule_editor.h"
#include "core/schedule/schedule_editor_logic.h"
#include "core/schedule/schedule_module.h"
#include "win32/common/dialog.h"
#include "win32/schedule/schedule_editor_ids.h"

namespace qm::win {

class NumberBoxControl;

// The schedule editor window: the frequency, its count and unit, the start time, the date
// range, the weekdays and the days of the month, with OK, Close/Cancel and a status bar of
// help texts. A view over ScheduleEditorLogic, which makes every decision; the scheduler opens
// and closes it through the ScheduleEditor interface.
class ScheduleEditorDialog final : public Dialog,
                                   public ScheduleEditor,
                                   private ScheduleEditorView {
  public:
    static constexpr int kFormWidthTwips = 4800;

    // `saveSchedule` stores the schedule record; it is called after each confirmed change.
    ScheduleEditorDialog(ScheduleModule& module, std::function<void()> saveSchedule);
    // The window goes while the object is still whole.
    ~ScheduleEditorDialog() override { Dialog::Close(); }

    // ScheduleEditor
    void Display(const ScheduleEditorRequest& request) override;
    void Close() override { Dialog::Close(); }
    bool IsOpen() const override { return Dialog::IsOpen(); }

  private:
    // Dialog
    void OnInit() override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnLayout() override;

    // ScheduleEditorView
    EditorFields Fields() const override;
    void ShowFields(const EditorFields& fields) override;
    void ApplyLayout(const EditorLayout& layout) override;
    void SetEveryLimits(int minValue, int increment) override;
    void SetEndDateEnabled(bool enabled) override;
    void ShowChanged(bool changed) override;
    void Focus(EditorControl control) override;
    void SetStatusText(std::string_view text) override;
    void Beep() override;
    void ShowMessage(std::string_view prompt, std::int16_t style, std::string_view title) override;
    void Unload() override { Dialog::Close(); }

    void AddOccursFrame();
    void AddDailyFrame();
    void AddWeeklyFrame();
    void AddMonthlyFrame();
    void ShowPart(const std::vector<int>& ids, bool shown);
    EditorArea AreaAt(HWND under) const;
    NumberBoxControl* EveryNumber() const;

    ScheduleEditorLogic logic_;
    std::vector<int> dailyIds_;
    std::vector<int> weeklyIds_;
    std::vector<int> monthlyIds_;
    int occurs_ = -1;
    bool useEndDate_ = false;
    EditorArea area_ = EditorArea::kNone;
};

}  // namespace qm::win
