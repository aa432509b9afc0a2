#include "win32/app/menu_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "core/app/exit_rules.h"
#include "core/app/settings_keys.h"
#include "core/app/startup_entry.h"
#include "core/app/tray_events.h"
#include "core/app/tray_menu_rules.h"
#include "core/ui/msgbox_style.h"
#include "core/schedule/scheduler_properties.h"
#include "core/schedule/status_texts.h"
#include "win32/app/defrag_console.h"
#include "win32/app/end_now_message.h"
#include "win32/common/shell_open.h"
#include "win32/common/text.h"
#include "win32/defrag/drives.h"
#include "win32/defrag/history_window.h"
#include "win32/defrag/system_shutdown.h"
#include "win32/res/resource.h"
#include "win32/ui/about_dialog.h"
#include "win32/ui/program_msgbox.h"

namespace qm::win {

MenuWindow::MenuWindow(HINSTANCE instance, Program& program)
    : instance_(instance), program_(program), editor_(program.schedule, [this] { SaveState(); }) {}

MenuWindow::~MenuWindow() {
    if (hwnd_) {
        ::DestroyWindow(hwnd_);
    }
}

bool MenuWindow::Create() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &MenuWindow::WindowProc;
    wc.hInstance = instance_;
    wc.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(IDI_QUILLMERE));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    // A hidden top-level tool window, not a message-only one: those never hear the
    // TaskbarCreated broadcast that tells us to put the icon back.
    return ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, kCaption, WS_OVERLAPPED, 0, 0, 0, 0,
                             nullptr, nullptr, instance_, this) != nullptr;
}

void MenuWindow::OnCreate() {
    taskbarCreatedMessage_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    endNowMessage_ = AllowEndNowMessage(hwnd_);
    timers_ = std::make_unique<TimerSet>(hwnd_);
    // A shell still starting at logon may refuse or time out the icon: try again each second
    // for half a minute.
    trayRetry_ = &timers_->Create();
    trayRetry_->SetInterval(1000);
    trayRetry_->SetHandler([this] {
        if (tray_.Readd() || ++trayRetries_ >= kMaxTrayRetries) {
            trayRetry_->SetEnabled(false);
        }
    });

    scheduler_ = std::make_unique<Scheduler>(program_.schedule, timers_->Create(), editor_);
    scheduler_->SetTicks(&program_.ticks);
    scheduler_->ReadProperties(MenuSchedulerProperties());
    // A moment slept through or jumped over is made up for a little later, once, rather than
    // the instant the computer wakes (and perhaps before the mains are back).
    scheduler_->OnMomentMissed([this] {
        if (unattended_) {
            unattended_->LookForMissedRunSoon();
        }
    });
    scheduler_->OnNextMomentChanged([this] { UpdateWakeTimer(); });
    // The editor stores a confirmed schedule itself, before it reports the change.
    scheduler_->OnScheduleChanged([this] { RefreshScheduleStatus(); });
    // A scheduled moment goes through the rules of unattended runs (mains power) first.
    scheduler_->OnScheduledTime([this](DateTime) { unattended_->ScheduledMoment(); });

    balloon_ = std::make_unique<BalloonTip>(hwnd_);
    balloon_->SetTitle(L"Quillmere");
    Timer& cursorPoll = timers_->Create();
    Timer& showDelay = timers_->Create();
    Timer& hideDelay = timers_->Create();
    hover_ = std::make_unique<TrayHover>(static_cast<TrayBalloonHost&>(*this), cursorPoll,
                                         showDelay, hideDelay);
    balloon_->onClosed = [this](std::uint16_t) { hover_->OnBalloonClosed(); };

    Timer& pollTimer = timers_->Create();
    Timer& priorityTimer = timers_->Create();
    run_ = std::make_unique<RunSupervisor>(RunServices{
        program_.processes,
        program_.launcher,
        program_.terminator,
        *scheduler_,
        program_.clock,
        program_.ticks,
        program_.store,
        program_.dates,
        program_.run,
        pollTimer,
        priorityTimer,
        [this](const std::string& text) { SetBalloon(text); },
        [this] { RefreshScheduleStatus(); },
        [this] { Unload(); },
        [](int mode) { ShutdownWindows(mode); },
        [](const std::string& message) { ProgramMsgBox().MsgBox(message, 48, " Quillmere"); },
        [this](const std::string& text) { tray_.ShowWarning(L"Quillmere", Widen(text)); },
        [](bool on) { KeepSystemAwake(on); },
        program_.defragSystem,
        &program_.runLog,
        [this](const std::string& text) { tray_.SetTip(Widen(text)); }});
    unattended_ = std::make_unique<UnattendedRuns>(
        program_.clock, program_.ticks, program_.power, timers_->Create(), program_.run,
        program_.schedule.Record(), [this] { run_->OnScheduledMoment(); }, &program_.runLog);
    CreateOptionsDialog();
}

void MenuWindow::LoadFromSettings() {
    const FixedDriveList drives = GetFixedDrives();
    LoadSettings(program_.store, program_.dates, drives.FixedDrives,
                 program_.clock.Now().DatePart(), program_.run, program_.schedule.Record());
    // The first start after an update that replaced an older copy's logon task.
    TakeOverLogonTaskStart(RecordedLogonTaskUser(), OwnAccountSid(), program_.store,
                           *startupEntry_);
    AddTrayIcon();
    if (!ShowFirstRunOptions() || !ShowFirstRunSchedule()) {
        return;  // the program was told to end while a dialog was open
    }
    scheduler_->SetEnabled(true);
    UpdateNextDefragStatus();
    scheduler_->SetTitle(" Defrag Schedule");
    unattended_->SetSettings(ReadUnattendedSettings(program_.store));
    unattended_->LookForMissedRunSoon();
}

void MenuWindow::OnPowerBroadcast(WPARAM event) {
    if (event == PBT_APMPOWERSTATUSCHANGE) {
        unattended_->PowerStatusChanged();
        UpdateWakeTimer();  // on battery, the timer may no longer wake the computer
    } else if (event == PBT_APMSUSPEND) {
        scheduler_->Suspend();
    } else if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) {
        // Woken by the timer for the next moment: that run starts now. Otherwise a moment
        // that passed during the sleep is made up for a little later.
        const bool woken = wake_.WokeFor(scheduler_->NextScheduledTime());
        scheduler_->Resume(woken);
        if (!woken) {
            unattended_->LookForMissedRunSoon();
        }
    }
}

void MenuWindow::UpdateWakeTimer() {
    if (!scheduler_ || ending_) {
        return;
    }
    const UnattendedSettings settings = ReadUnattendedSettings(program_.store);
    wake_.Update(PlanWake(ReadWakeToRunSetting(program_.store), scheduler_->HasNextRun(),
                          scheduler_->NextScheduledTime(),
                          program_.power.OnBattery().value_or(false), settings.runOnBattery));
}

void MenuWindow::LoadTrayIconPicture() {
    // The small-icon size of the display scale the shell draws at now, from the best picture
    // the icon file holds.
    HICON icon = nullptr;
    if (FAILED(::LoadIconMetric(instance_, MAKEINTRESOURCEW(IDI_QUILLMERE), LIM_SMALL, &icon))) {
        icon = static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_QUILLMERE),
                                               IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                               ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    }
    if (!icon) {
        return;
    }
    UniqueHicon old = std::move(icon_);
    icon_.reset(icon);
    tray_.SetIcon(icon_.get());  // the shell has its copy before the old one goes
}

bool MenuWindow::AddTrayIcon() {
    LoadTrayIconPicture();
    const bool added = tray_.Add(hwnd_, icon_.get(), L"Quillmere");
    ::ShowWindow(hwnd_, SW_HIDE);
    if (!added) {
        trayRetries_ = 0;
        trayRetry_->SetEnabled(true);
    }
    return added;
}

void MenuWindow::ReaddTrayIcon() {
    LoadTrayIconPicture();
    if (!tray_.Readd() && tray_.WantsShown()) {
        // A shell still busy after its restart refuses the icon, as at logon: try again each
        // second for a while rather than leave the program without a way in.
        trayRetries_ = 0;
        trayRetry_->SetEnabled(true);
    }
}

bool MenuWindow::ShowFirstRunSchedule() {
    if (ReadShownSetting(program_.store, keys::kScheduleShown)) {
        return true;
    }
    scheduler_->SetEnabled(false);
    scheduler_->SetOccursOption(1);
    scheduler_->SetModal(true);
    scheduler_->DisplayScheduler2();
    // Told to end meanwhile: the window is gone and nothing of start-up may follow.
    if (ending_) {
        return false;
    }
    scheduler_->SetModal(false);
    SaveShownSetting(program_.store, keys::kScheduleShown);
    return true;
}

void MenuWindow::UpdateNextDefragStatus() {
    qm::UpdateNextDefragStatus(
        scheduler_->NextScheduledTime(), program_.run.lastDefrag, program_.clock.Now(),
        [this](std::string_view text) {
            SetBalloon(WithRunProblem(std::string(text), program_.run.lastRunProblem));
        });
}

void MenuWindow::SetBalloon(const std::string& text) {
    hover_->SetBalloon(text);
}

void MenuWindow::RefreshScheduleStatus() {
    UpdateWakeTimer();  // the schedule, or the option, may have changed
    if (history_) {
        history_->Refresh();  // a run that ended has added to the log
    }
    if (scheduler_->OccursOption() == 0) {
        SetBalloon(WithRunProblem(LastDefragText(program_.run.lastDefrag, program_.clock.Now()) +
                                      "\r\n" + "Quillmere - No scheduled times",
                                  program_.run.lastRunProblem));
    } else {
        UpdateNextDefragStatus();
    }
}

void MenuWindow::ShowSchedule() {
    scheduler_->DisplayScheduler();
}

void MenuWindow::StartRun() {
    run_->StartDefragRun();
}

void MenuWindow::StopCurrentRun() {
    // Only what this program started: a defragmenter of Windows' own or of another user keeps
    // running.
    if (!run_->StopCurrentDrive() && !options_->StopDefragNow()) {
        ProgramMsgBox().MsgBox(kNotOurDefragmenter, 64, " Quillmere");
    }
}

void MenuWindow::ShowDefragConsole() {
    OpenDefragConsole();
}

void MenuWindow::ShowAbout() {
    if (!about_) {
        about_ = std::make_unique<AboutDialog>();
    }
    // An open one comes to the front.
    about_->ShowModeless();
}

void MenuWindow::ShowHistory() {
    if (!history_) {
        history_ = std::make_unique<HistoryWindow>(program_.store, program_.runLog.Folder());
    }
    history_->ShowModeless();  // an open one comes to the front
}

void MenuWindow::ExitProgram() {
    if (NextRunHasPassed(scheduler_->NextScheduledTime(), program_.clock.Now())) {
        Unload();
        return;
    }
    if (!ReadShowSetting(program_.store, keys::kShowExitPrompt)) {
        Unload();
        return;
    }
    // The box's loop keeps the hidden window hearing the tray; a second Exit (or the menu)
    // while the question is open would stack another question on it.
    if (exitPromptOpen_) {
        return;
    }
    exitPromptOpen_ = true;
    const int answer = ProgramMsgBox().MsgBox(kExitPrompt, kExitPromptStyle, kExitPromptTitle);
    exitPromptOpen_ = false;
    if (answer == kResultYes) {
        Unload();
    }
}

void MenuWindow::Unload() {
    if (hwnd_) {
        ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    }
}

void MenuWindow::SaveState() {
    SaveScheduleSettings(program_.store, program_.dates, program_.schedule.Record());
}

void MenuWindow::RunEndSequence() {
    if (ending_) {
        return;
    }
    ending_ = true;
    if (about_) {
        about_->Close();
    }
    if (history_) {
        history_->Close();  // it keeps its place as it closes
    }
    // The program's message box is let go after the message loop (RunApplication): one may
    // still be open further up this call stack, when the end comes from inside its loop.
    options_->Close();
    scheduler_->CloseScheduler();
    SaveState();
    wake_.Update({});  // no wake for a program that is gone
    hover_->HideBalloon();
    tray_.Remove();
}

void MenuWindow::OnTrayEvent(UINT event, POINT anchor) {
    switch (ActionForTrayEvent(event, tray_.UsesVersion4())) {
        case TrayEventAction::kOpenConsole:
            scheduler_->CloseScheduler();
            options_->Close();
            ShowDefragConsole();
            break;
        case TrayEventAction::kShowMenu:
            ShowTrayMenu(anchor);
            break;
        case TrayEventAction::kHover:
            lastIconPoint_ = anchor;
            hover_->OnIconMouseMove();
            break;
        case TrayEventAction::kOpenRunLog:
            OpenInShell(Widen(program_.runLog.Folder() + "\\runs.log"));
            break;
        case TrayEventAction::kNothing:
            break;
    }
}

void MenuWindow::ShowTrayMenu(POINT at) {
    if (exitPromptOpen_) {
        return;
    }
    ApplyTrayMenuRules(menuState_, run_->DefragmenterRunning(), program_.run.SelectedDriveCount());
    menuState_.optionsChecked = options_->IsOpen();
    menuState_.scheduleChecked = editor_.IsOpen();
    trayMenu_.Apply(menuState_);
    hover_->GoIdle();
    if (const UINT cmd = trayMenu_.Track(hwnd_, at)) {
        OnCommand(cmd);
    }
}

void MenuWindow::OnCommand(UINT id) {
    switch (id) {
        case kCmdOptions:
            ShowOptions();
            break;
        case kCmdSchedule:
            ShowSchedule();
            break;
        case kCmdDefrag:
            StartRun();
            break;
        case kCmdStop:
            StopCurrentRun();
            break;
        case kCmdOpen:
            ShowDefragConsole();
            break;
        case kCmdAbout:
            ShowAbout();
            break;
        case kCmdExit:
            ExitProgram();
            break;
        case kCmdHistory:
            ShowHistory();
            break;
        default:
            break;
    }
}

Point MenuWindow::CursorPosition() {
    POINT pt{};
    ::GetCursorPos(&pt);
    return Point{pt.x, pt.y};
}

Rect MenuWindow::TrayIconRect() {
    NOTIFYICONIDENTIFIER id{};
    id.cbSize = sizeof(id);
    id.hWnd = hwnd_;
    id.uID = TrayIcon::kIconId;
    RECT r{};
    if (SUCCEEDED(::Shell_NotifyIconGetRect(&id, &r))) {
        return Rect{r.left, r.top, r.right, r.bottom};
    }
    // The shell cannot say where the icon is: it is where the mouse last touched it, an
    // icon's size around that point.
    const int half = ::GetSystemMetrics(SM_CXSMICON) / 2 + 2;
    return Rect{lastIconPoint_.x - half, lastIconPoint_.y - half, lastIconPoint_.x + half,
                lastIconPoint_.y + half};
}

void MenuWindow::SetBalloonMessage(const std::string& text) {
    balloon_->SetMessage(Widen(text));
}

std::uint16_t MenuWindow::ShowBalloonAt(Point at) {
    return balloon_->ShowAt(POINT{at.x, at.y});
}

void MenuWindow::RemoveBalloon(std::uint16_t id) {
    balloon_->Remove(id);
}

void MenuWindow::RefreshStatusText() {
    UpdateNextDefragStatus();
}

bool MenuWindow::DefragRunning() {
    return run_->DefragRunning();
}

LRESULT MenuWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == TrayIcon::kCallbackMessage) {
        // Version 4: the event is in LOWORD(lParam), the icon's anchor point in wParam.
        // Before it, lParam is the event and the cursor is the point.
        POINT anchor{GET_X_LPARAM(wp), GET_Y_LPARAM(wp)};
        UINT event = static_cast<UINT>(lp);
        if (tray_.UsesVersion4()) {
            event = LOWORD(lp);
        } else {
            ::GetCursorPos(&anchor);
        }
        if (!ending_) {
            OnTrayEvent(event, anchor);
        }
        return 0;
    }
    if (taskbarCreatedMessage_ != 0 && msg == taskbarCreatedMessage_) {
        ReaddTrayIcon();
        return 0;
    }
    if (endNowMessage_ != 0 && msg == endNowMessage_) {
        // The setup program is about to replace or remove the program: end as Exit does when
        // it need not ask, saving the schedule.
        Unload();
        return 0;
    }
    switch (msg) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_TIMER:
            if (timers_ && !ending_) {
                timers_->Dispatch(wp);
            }
            return 0;
        case WM_NOTIFY:
            if (balloon_ && balloon_->HandleNotify(reinterpret_cast<const NMHDR*>(lp))) {
                return 0;
            }
            return Default(msg, wp, lp);
        case WM_COMMAND:
            if (HIWORD(wp) == 0 || HIWORD(wp) == 1) {
                OnCommand(LOWORD(wp));
            }
            return 0;
        case WM_DPICHANGED:
        case WM_DISPLAYCHANGE:
            // The shell shows its icons at the new scale: give it a picture of that size.
            LoadTrayIconPicture();
            return 0;
        case WM_POWERBROADCAST:
            OnPowerBroadcast(wp);
            return TRUE;
        case WM_TIMECHANGE:
            if (scheduler_ && !ending_) {
                scheduler_->ClockChanged();
            }
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The session ends and this process with it, perhaps without WM_DESTROY.
            if (wp) {
                RunEndSequence();
            }
            return 0;
        case WM_CLOSE:
            ::DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            RunEndSequence();
            ::PostQuitMessage(0);
            return 0;
        default:
            return Default(msg, wp, lp);
    }
}

}  // namespace qm::win
