#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/app/run_supervisor.h"
#include "core/app/tray_hover.h"
#include "core/app/tray_menu_state.h"
#include "core/app/unattended_runs.h"
#include "core/schedule/scheduler.h"
#include "win32/app/balloon_tip.h"
#include "win32/app/startup_entry_win.h"
#include "win32/app/program.h"
#include "win32/app/tray_icon.h"
#include "win32/app/tray_menu.h"
#include "win32/app/wake_timer_win.h"
#include "win32/common/base_window.h"
#include "win32/common/unique_handle.h"
#include "win32/common/window_timer.h"
#include "win32/defrag/drives.h"
#include "win32/defrag/options_dialog.h"
#include "win32/defrag/startup_shortcut_win.h"
#include "win32/schedule/schedule_editor_dialog.h"

namespace qm::win {

class AboutDialog;
class HistoryWindow;

// The program's hidden main window: it owns the tray icon, its menu and balloon, the
// scheduler and the run supervision with their timers. Destroying it ends the program.
class MenuWindow : public BaseWindow<MenuWindow>, private TrayBalloonHost {
  public:
    static constexpr const wchar_t* kClassName = L"QuillmereMenu";
    static constexpr const wchar_t* kCaption = L"Quillmere";
    static constexpr const char* kNotOurDefragmenter =
        "The defragmenter that is running was not started by Quillmere, so Quillmere cannot "
        "stop it.";

    MenuWindow(HINSTANCE instance, Program& program);
    ~MenuWindow();
    MenuWindow(const MenuWindow&) = delete;
    MenuWindow& operator=(const MenuWindow&) = delete;

    bool Create();
    // Start-up from the settings load on: the drives and schedule, the tray icon, the
    // scheduler and the first status text.
    void LoadFromSettings();

    // Tray menu commands.
    void ShowOptions();
    void ShowSchedule();
    void StartRun();
    void StopCurrentRun();
    void ShowDefragConsole();
    void ShowAbout();
    void ShowHistory();
    void ExitProgram();

    // Sets the balloon's message (shown the next time it opens).
    void SetBalloon(const std::string& text);
    // Rebuilds the status text after the schedule changed.
    void RefreshScheduleStatus();

  private:
    friend class BaseWindow<MenuWindow>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnCreate();
    void OnTrayEvent(UINT event, POINT anchor);
    void ShowTrayMenu(POINT at);
    void OnCommand(UINT id);
    bool AddTrayIcon();
    // The icon at the size the shell shows it now; the display scale may have changed.
    void LoadTrayIconPicture();
    // Puts the icon back after Explorer restarted, retrying while the new shell is busy.
    void ReaddTrayIcon();
    // The first run's schedule editor; false when the program was told to end while it was
    // open, and start-up must go no further.
    bool ShowFirstRunSchedule();
    // Ends the program: the window goes after the current message.
    void Unload();
    // The end sequence: runs once, whoever ends the program.
    void RunEndSequence();
    // What must survive the program: the schedule.
    void SaveState();
    void UpdateNextDefragStatus();
    void OnPowerBroadcast(WPARAM event);
    // Arms the wake timer for the next scheduled moment, or cancels it, as the settings and
    // the power source say.
    void UpdateWakeTimer();
    // The Options dialog (menu_options.cpp).
    void CreateOptionsDialog();
    // The first run's Options dialog; false when the program was told to end meanwhile.
    bool ShowFirstRunOptions();

    // TrayBalloonHost
    Point CursorPosition() override;
    Rect TrayIconRect() override;
    void SetBalloonMessage(const std::string& text) override;
    std::uint16_t ShowBalloonAt(Point at) override;
    void RemoveBalloon(std::uint16_t id) override;
    void RefreshStatusText() override;
    bool DefragRunning() override;

    HINSTANCE instance_;
    Program& program_;
    UniqueHicon icon_;
    TrayIcon tray_;
    TrayMenu trayMenu_;
    TrayMenuState menuState_;
    ScheduleEditorDialog editor_;
    std::unique_ptr<TimerSet> timers_;
    std::unique_ptr<Scheduler> scheduler_;
    std::unique_ptr<BalloonTip> balloon_;
    std::unique_ptr<TrayHover> hover_;
    std::unique_ptr<RunSupervisor> run_;
    std::unique_ptr<UnattendedRuns> unattended_;
    WaitableWakeTimer wakeTimer_;
    WakeKeeper wake_{wakeTimer_};
    std::unique_ptr<AboutDialog> about_;      // made when first shown
    std::unique_ptr<HistoryWindow> history_;  // made when first shown
    WindowsDriveSystem drives_;
    std::unique_ptr<WindowsShortcutPlatform> shortcuts_;
    std::unique_ptr<StartupEntryPlatform> startupEntry_;
    std::unique_ptr<OptionsDialog> options_;
    Timer* trayRetry_ = nullptr;
    static constexpr int kMaxTrayRetries = 30;
    int trayRetries_ = 0;
    bool exitPromptOpen_ = false;
    POINT lastIconPoint_{};
    UINT taskbarCreatedMessage_ = 0;
    UINT endNowMessage_ = 0;
    bool ending_ = false;
};

}  // namespace qm::win
