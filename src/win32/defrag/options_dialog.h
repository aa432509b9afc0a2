#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>

#include "core/defrag/defrag_now.h"
#include "core/defrag/drive_balloon_hover.h"
#include "core/defrag/drive_statistics.h"
#include "core/defrag/options_form.h"
#include "core/defrag/options_layout.h"
#include "win32/app/balloon_tip.h"
#include "win32/common/dialog.h"

namespace qm::win {

// What the Options dialog works with, owned by the program.
struct OptionsServices {
    SettingsStore& store;
    RunSettings& run;  // the program-wide priority, after-defrag action and drives
    const DriveSystem& drives;
    ProcessTable& processes;
    ProcessLauncher& launcher;
    const DefragSystem& system;  // how this system's defragmenter is started
    StartupEntryPlatform& startup;
    // The Defrag Now watch: timers of a window that outlives the dialog's.
    Timer& pollTimer;      // 2 s: is the defragmenter still running?
    Timer& priorityTimer;  // 3 s, once: the engine's priority
    std::function<void(bool)> setSchedulerEnabled;
    std::function<void()> scheduleChanged;
    // The user's number form, read at each opening and when the regional settings change.
    std::function<NumberSeparators()> numberFormat;
    const Clock& clock;
    LogFolder* log;
    // The active power plan's "Allow wake timers" on mains power (ReadWakeTimersOnMains).
    std::function<std::optional<unsigned>()> wakeTimersOnMains;
    // The user's date form, for each drive's last result beside its row; none shows none.
    const DateTextFormat* dates = nullptr;
};

// The index of the active power plan's "Allow wake timers" value on mains power (0 Disable,
// 1 Enable, 2 "Important wake timers only"); nothing when it cannot be read. powrprof.dll is
// loaded when asked: Wine's lacks PowerReadACValueIndex.
std::optional<unsigned> ReadWakeTimersOnMains();

// " Defrag Options": the start-up options (with a line under the wake box when the power plan
// lets no program wake the computer), the defragmenter's priority, the action after a
// run, and a row per fixed drive with a check box (scheduled runs take it) and a Defrag Now
// button. The object lives as long as the program; its window is opened and closed.
class OptionsDialog final : public Dialog, private DefragNowView, private DriveBalloonHost {
  public:
    // Control ids; a row's controls are the base id + the row.
    enum ControlId : int {
        kIdFrame = 1000,        // + 1..3
        kIdOptionCheck = 1010,  // + 1..4
        kIdWakeNote = 1015,     // the power plan's line under the wake box
        kIdPriority = 1020,     // + 1..3
        kIdAfterDefrag = 1030,  // + 1..3
        kIdHeadings = 1040,
        kIdSave = 1050,
        kIdDriveCheck = 1100,    // + row
        kIdDefragButton = 1200,  // + row
        kIdRunningMessage = 1300,
        kIdRunningBar = 1301,  // the progress bar under the panel's caption
        kIdDriveState = 1400,  // + row: the kind of disk and the last result
    };

    explicit OptionsDialog(OptionsServices services);
    ~OptionsDialog() override;

    // The tray's "Set Program Options": opens the dialog modeless, or brings it to the front.
    void ShowFromTray();
    // The first run: modal, with "Run program at Windows Startup?" ticked. False when the
    // program was told to end while it was open.
    bool ShowFirstRun();

    const OptionsForm& Form() const { return form_; }
    const DefragNowRun& DefragNow() const { return defragNow_; }
    // Ends a Defrag Now run's defragmenter; false when none of its own runs.
    bool StopDefragNow() { return defragNow_.Stop(); }

  protected:
    void OnInit() override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  private:
    void AddFixedControls(const std::string& wakeNote);
    void AddRow(int row, HWND after);
    // The rows of the form's drive list, the form's height and the place of Save and Close.
    void BuildRowControls();
    void RefreshDriveRows();
    // Each row's kind of disk and last result, in the user's date form.
    void ShowDriveStates();
    // The user's number form, for the drive statistics.
    void ReadNumberFormat();
    void ShowChoices();
    void ReadChoices();
    void ApplyChangeState();
    void CentreOnScreen();
    void OnSave();
    void OnDefragNow(int row);
    void OnWindowGone();
    bool IsChecked(int id) const;
    void SetChecked(int id, bool on);
    static LRESULT CALLBACK RowControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                           DWORD_PTR self);

    // DefragNowView
    void ShowAlreadyRunning() override;
    void ShowRunning(const std::string& panelCaption) override;
    void ShowFinished(int row) override;
    void ShowProgress(const DefragProgress& progress) override;

    // DriveBalloonHost
    bool IsCursorOutside() override;
    std::string DriveBalloonMessage(int row) override;
    int ShowBalloon(int row, const std::string& title, const std::string& message) override;
    void SetBalloonMessage(int id, const std::string& message) override;
    void RemoveBalloon(int id) override;

    OptionsServices s_;
    OptionsForm form_;
    DefragNowRun defragNow_;
    std::unique_ptr<BalloonTip> balloon_;
    std::unique_ptr<DriveBalloonHover> hover_;
    NumberSeparators numbers_;
    int rowControls_ = 0;                         // drive rows that have controls
    OptionsPlaces places_ = PlaceOptions(false);  // for this opening's power plan note
};

}  // namespace qm::win
