#include "win32/defrag/options_dialog.h"

#include <commctrl.h>
#include <dbt.h>

#include "core/defrag/drive_state.h"
#include "core/defrag/options_layout.h"
#include "win32/common/locale_date_format.h"
#include "win32/common/system_library.h"
#include "win32/common/text.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/cursor_position.h"
#include "win32/defrag/defrag_system.h"
#include "win32/defrag/running_message.h"
#include "win32/ui/headings.h"
#include "win32/ui/program_msgbox.h"

namespace qm::win {
namespace {

constexpr DWORD kVisibleChild = WS_VISIBLE;
constexpr DWORD kCheckBox = kVisibleChild | BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;
constexpr DWORD kPushButton = kVisibleChild | BS_PUSHBUTTON | WS_GROUP;
// The drive rows keep out of the running-message panel laid over them.
constexpr DWORD kUnderPanel = WS_CLIPSIBLINGS;
constexpr FontStyle kSansSerif{L"MS Sans Serif", 8.25};
constexpr FontStyle kRunningFont{L"MS Sans Serif", 18};
constexpr int kOptionLeft = 360, kOptionWidth = 3615;
// The power plan's line starts under the wake box's caption, past the box itself.
constexpr int kWakeNoteLeft = kOptionLeft + 255, kWakeNoteWidth = kOptionWidth - 255;
constexpr int kRowCheckLeft = 360, kRowCheckWidth = 2550;
constexpr int kRowButtonLeft = 2970, kRowButtonWidth = 1020, kRowHeight = 255;
// Beside each row, the kind of disk and how its last run went; the form is that much wider
// than its frames, and the panel and the buttons follow its width.
constexpr int kRowStateLeft = 4110, kRowStateWidth = 3900;
constexpr int kFramesWidth = 4425;
constexpr int kOptionsFormWidth = kRowStateLeft + kRowStateWidth + 120;
constexpr int kButtonsShift = (kOptionsFormWidth - kFramesWidth) / 2;
constexpr int kSaveLeft = 600 + kButtonsShift, kCancelLeft = 2640 + kButtonsShift;
constexpr int kButtonWidth = 1095, kButtonHeight = 375;
// The panel over the drive rows, centred in the client area.
constexpr int kRunningMessageLeft = 142, kRunningMessageWidth = kOptionsFormWidth - 375;

// Captions are shown as they are: an ampersand in a volume label is no access key.
std::wstring Literal(const std::string& text) {
    std::wstring out;
    for (wchar_t c : Widen(text)) {
        out += c;
        if (c == L'&') {
            out += L'&';
        }
    }
    return out;
}

// The power settings that decide whether programs' wake timers wake the computer.
constexpr GUID kSleepSubgroup{
    0x238c9fa8, 0x0aad, 0x41ed, {0x83, 0xf4, 0x97, 0xbe, 0x24, 0x2c, 0x8f, 0x20}};
constexpr GUID kAllowWakeTimers{
    0xbd3b718a, 0x0680, 0x4d9d, {0x8a, 0xb2, 0xe1, 0xd2, 0xb4, 0xac, 0x80, 0x6d}};

}  // namespace

std::optional<unsigned> ReadWakeTimersOnMains() {
    using GetActiveSchemeFn = DWORD(WINAPI*)(HKEY, GUID**);
    using ReadAcValueIndexFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, DWORD*);
    const auto getActiveScheme =
        SystemFunction<GetActiveSchemeFn>(L"powrprof.dll", "PowerGetActiveScheme");
    const auto readAcValueIndex =
        SystemFunction<ReadAcValueIndexFn>(L"powrprof.dll", "PowerReadACValueIndex");
    if (!getActiveScheme || !readAcValueIndex) {
        return std::nullopt;
    }
    UniqueLocal<GUID*> scheme;
    if (getActiveScheme(nullptr, scheme.put()) != ERROR_SUCCESS || !scheme) {
        return std::nullopt;
    }
    DWORD index = 0;
    if (readAcValueIndex(nullptr, scheme.get(), &kSleepSubgroup, &kAllowWakeTimers, &index) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return index;
}

OptionsDialog::OptionsDialog(OptionsServices services)
    : s_(std::move(services)),
      form_(s_.store, s_.run, s_.startup),
      defragNow_(DefragNowServices{
          s_.processes, s_.launcher, s_.clock, s_.log, s_.pollTimer, s_.priorityTimer, s_.run,
          s_.system, s_.setSchedulerEnabled, s_.scheduleChanged,
          [](const std::string& reason) { ProgramMsgBox().MsgBox(reason, 48, kOptionsTitle); }}) {}

OptionsDialog::~OptionsDialog() {
    defragNow_.SetView(nullptr);
}

void OptionsDialog::ShowFromTray() {
    if (IsOpen()) {
        BringToFront();
        return;
    }
    ShowModeless();
}

bool OptionsDialog::ShowFirstRun() {
    if (!Create()) {
        return true;
    }
    form_.TickRunAtStartup();
    ShowChoices();
    ApplyChangeState();
    return RunModal();
}

void OptionsDialog::OnInit() {
    Headings::Register();
    RegisterRunningMessageClass();
    ::SetWindowTextW(Hwnd(), Widen(kOptionsTitle).c_str());
    // Read at every opening: the user may have changed the plan meanwhile.
    const std::string note = WakeTimersNote(
        s_.wakeTimersOnMains ? s_.wakeTimersOnMains() : std::nullopt, ReadWindowsVersion());
    places_ = PlaceOptions(!note.empty());
    ReadNumberFormat();
    AddFixedControls(note);

    form_.Load(ListFixedVolumes(s_.drives));
    BuildRowControls();
    ShowChoices();
    ApplyChangeState();
    CentreOnScreen();

    hover_ = std::make_unique<DriveBalloonHover>(static_cast<DriveBalloonHost&>(*this),
                                                 Timers().Create(), Timers().Create());
    defragNow_.SetView(this);
    if (defragNow_.Running()) {  // opened again while its run goes on
        ShowRunning(defragNow_.PanelCaption());
    }
}

void OptionsDialog::AddFixedControls(const std::string& wakeNote) {
    const auto frame = [this](int n, const wchar_t* caption, TwipsBox box) {
        AddControl(kIdFrame + n, L"BUTTON", caption, kVisibleChild | BS_GROUPBOX | WS_GROUP, box);
    };
    frame(1, L"StartUp Options", {240, kStartupFrameTop, 3855, places_.startupFrameHeight});
    const wchar_t* options[kStartupOptionCount] = {
        L"Run program at Windows Startup?", L"Display splash screen during program StartUp?",
        L"Show exit prompt when closing program?", L"Wake the computer for scheduled defrags"};
    for (int i = 1; i <= kStartupOptionCount; ++i) {
        AddControl(kIdOptionCheck + i, L"BUTTON", options[i - 1], kCheckBox,
                   {kOptionLeft, StartupOptionTop(i - 1), kOptionWidth, kOptionCheckHeight});
    }
    if (!wakeNote.empty()) {
        AddControl(kIdWakeNote, L"STATIC", Widen(wakeNote), kVisibleChild | SS_LEFT | SS_NOPREFIX,
                   {kWakeNoteLeft, kWakeNoteTop, kWakeNoteWidth, kWakeNoteHeight});
    }
    const int priorityTop = places_.priorityFrameTop;
    frame(2, L"Defrag Priority", {240, priorityTop, 3855, 570});
    const wchar_t* priorities[] = {L"Low", L"Normal", L"High"};
    const int priorityLefts[] = {120, 1620, 3105};
    for (int i = 1; i <= 3; ++i) {
        AddControl(kIdPriority + i, L"BUTTON", priorities[i - 1],
                   kVisibleChild | BS_AUTORADIOBUTTON | (i == 1 ? WS_GROUP | WS_TABSTOP : 0),
                   {240 + priorityLefts[i - 1], priorityTop + 225, i == 3 ? 700 : 1215, 255});
    }
    const int afterDefragTop = places_.afterDefragFrameTop;
    frame(3, L"After Defrag", {240, afterDefragTop, 3855, 1110});
    const wchar_t* actions[] = {L"Wait for next scheduled Defrag", L"Close Quillmere program",
                                L"Shutdown Windows"};
    for (int i = 1; i <= 3; ++i) {
        AddControl(kIdAfterDefrag + i, L"BUTTON", actions[i - 1],
                   kVisibleChild | BS_AUTORADIOBUTTON | (i == 1 ? WS_GROUP | WS_TABSTOP : 0),
                   {kOptionLeft, afterDefragTop + 255 + (i - 1) * 270, kOptionWidth, 255});
    }

    HWND heading =
        AddControl(kIdHeadings, Headings::kClassName, L"Select Drives to Schedule for Defrag",
                   kVisibleChild | WS_GROUP, {240, places_.headingTop, 3840, 360}, 0, kSansSerif);
    if (Headings* h = Headings::From(heading)) {
        h->SetForeColor(0x00FFFFFFu);  // white on navy
        h->SetBackColor(0x00800000u);
        h->onMouseMove = [this](WPARAM, POINT) {
            if (hover_) {
                hover_->OtherMouseMove();
            }
        };
    }

    AddRow(0, heading);
    AddControl(kIdSave, L"BUTTON", L"&Save", kPushButton | WS_TABSTOP,
               {kSaveLeft, 0, kButtonWidth, kButtonHeight});
    AddControl(IDCANCEL, L"BUTTON", L"Close", kPushButton | WS_TABSTOP,
               {kCancelLeft, 0, kButtonWidth, kButtonHeight});
    HWND panel = AddControl(
        kIdRunningMessage, kRunningMessageClass, L"Defragmenting Drive C:", WS_CLIPSIBLINGS,
        {kRunningMessageLeft, places_.driveRowTop - 45, kRunningMessageWidth, 500}, 0,
        kRunningFont);
    ::SetWindowPos(panel, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    AddControl(kIdRunningBar, PROGRESS_CLASSW, L"", WS_CHILD | WS_CLIPSIBLINGS,
               {kRunningMessageLeft + kRunningBarInset, 0,
                kRunningMessageWidth - 2 * kRunningBarInset, kRunningBarHeight});
}

void OptionsDialog::AddRow(int row, HWND after) {
    const int top = places_.DriveRowTop(row);
    // Row 0 is a tab stop like every check box; the buttons of the rows added for further
    // drives are not.
    HWND check = AddControl(kIdDriveCheck + row, L"BUTTON", L"C: drive", kCheckBox | kUnderPanel,
                            {kRowCheckLeft, top, kRowCheckWidth, kRowHeight});
    HWND button = AddControl(kIdDefragButton + row, L"BUTTON", L"Defrag Now",
                             kPushButton | kUnderPanel | (row == 0 ? WS_TABSTOP : 0),
                             {kRowButtonLeft, top, kRowButtonWidth, kRowHeight});
    AddControl(kIdDriveState + row, L"STATIC", L"", kVisibleChild | SS_NOPREFIX | kUnderPanel,
               {kRowStateLeft, top + 30, kRowStateWidth, kRowHeight});
    // In the tab order each row follows the one before it, so all come before Save.
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ::SetWindowPos(check, after, 0, 0, 0, 0, keep);
    ::SetWindowPos(button, check, 0, 0, 0, 0, keep);
    for (HWND control : {check, button}) {
        ::SetWindowSubclass(control, &OptionsDialog::RowControlProc,
                            static_cast<UINT_PTR>(::GetDlgCtrlID(control)),
                            reinterpret_cast<DWORD_PTR>(this));
    }
}

void OptionsDialog::BuildRowControls() {
    for (int k = 1; k < rowControls_; ++k) {
        RemoveControl(kIdDriveCheck + k);
        RemoveControl(kIdDefragButton + k);
        RemoveControl(kIdDriveState + k);
    }
    const auto& rows = form_.Rows();
    for (int k = 1; k < static_cast<int>(rows.size()); ++k) {
        AddRow(k, Item(kIdDefragButton + k - 1));
    }
    for (int k = 0; k < static_cast<int>(rows.size()); ++k) {
        ::SetWindowTextW(Item(kIdDriveCheck + k), Literal(rows[k].caption).c_str());
        ::EnableWindow(Item(kIdDriveCheck + k), rows[k].enabled);
        ::EnableWindow(Item(kIdDefragButton + k), rows[k].enabled);
    }
    ShowDriveStates();
    rowControls_ = static_cast<int>(rows.size());

    const int height = places_.FormHeight(form_.FixedDriveCount());
    SetDesignedFormSize(kOptionsFormWidth, height);
    const int buttonsTop = SaveButtonTop(height);
    PlaceControl(kIdSave, {kSaveLeft, buttonsTop, kButtonWidth, kButtonHeight});
    PlaceControl(IDCANCEL, {kCancelLeft, buttonsTop, kButtonWidth, kButtonHeight});
}

void OptionsDialog::ReadNumberFormat() {
    numbers_ = s_.numberFormat ? s_.numberFormat() : NumberSeparators();
}

void OptionsDialog::ShowDriveStates() {
    const std::vector<HistoryRow> history =
        s_.log && s_.dates ? HistoryRows(ReadHistoryText(*s_.log)) : std::vector<HistoryRow>{};
    const auto& rows = form_.Rows();
    for (int k = 0; k < static_cast<int>(rows.size()); ++k) {
        std::string state;
        if (s_.dates) {
            const char letter = rows[k].letter;
            state = s_.system.incursSeekPenalty
                        ? MediaText(s_.system.incursSeekPenalty(static_cast<char>(letter | 0x20)))
                        : "";
            state += (state.empty() ? "" : ", ") +
                     LastResultText(history, std::string(1, letter) + ":", *s_.dates);
        }
        ::SetWindowTextW(Item(kIdDriveState + k), Literal(state).c_str());
    }
}

void OptionsDialog::RefreshDriveRows() {
    if (hover_) {
        hover_->HideDriveBalloon();
    }
    ReadChoices();
    form_.RefreshDriveRows(ListFixedVolumes(s_.drives));
    BuildRowControls();
    ShowChoices();
    ApplyChangeState();
    if (defragNow_.Running()) {
        ShowRunning(defragNow_.PanelCaption());  // over the new rows too
    }
}

bool OptionsDialog::IsChecked(int id) const {
    return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void OptionsDialog::SetChecked(int id, bool on) {
    ::SendMessageW(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void OptionsDialog::ShowChoices() {
    const OptionsChoices& c = form_.Choices();
    SetChecked(kIdOptionCheck + 1, c.runAtStartup);
    SetChecked(kIdOptionCheck + 2, c.showSplash);
    SetChecked(kIdOptionCheck + 3, c.showExitPrompt);
    SetChecked(kIdOptionCheck + 4, c.wakeToRun);
    for (int i = 1; i <= 3; ++i) {
        SetChecked(kIdPriority + i, c.priority == i);
        SetChecked(kIdAfterDefrag + i, c.afterDefragAction == i);
    }
    for (int k = 0; k < rowControls_; ++k) {
        SetChecked(kIdDriveCheck + k, c.drives[static_cast<size_t>(k)]);
    }
}

void OptionsDialog::ReadChoices() {
    OptionsChoices& c = form_.Choices();
    c.runAtStartup = IsChecked(kIdOptionCheck + 1);
    c.showSplash = IsChecked(kIdOptionCheck + 2);
    c.showExitPrompt = IsChecked(kIdOptionCheck + 3);
    c.wakeToRun = IsChecked(kIdOptionCheck + 4);
    for (int i = 1; i <= 3; ++i) {
        if (IsChecked(kIdPriority + i)) {
            c.priority = i;
        }
        if (IsChecked(kIdAfterDefrag + i)) {
            c.afterDefragAction = i;
        }
    }
    for (int k = 0; k < rowControls_; ++k) {
        c.drives[static_cast<size_t>(k)] = IsChecked(kIdDriveCheck + k);
    }
}

void OptionsDialog::ApplyChangeState() {
    const bool changed = form_.Changed();
    HWND save = Item(kIdSave);
    if (!changed && ::GetFocus() == save) {
        ::SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDCANCEL)), TRUE);
    }
    ::EnableWindow(save, changed);
    SetDefaultButton(changed ? kIdSave : IDCANCEL);
    ::SetWindowTextW(Item(IDCANCEL), Widen(form_.CancelCaption()).c_str());
}

void OptionsDialog::CentreOnScreen() {
    RECT r{};
    ::GetWindowRect(Hwnd(), &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    ::SetWindowPos(Hwnd(), nullptr, (screenWidth - width) / 2,
                   screenHeight > height ? (screenHeight - height) / 2 : 0, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OptionsDialog::OnCommand(int id, int code, HWND control) {
    if (code != BN_CLICKED) {
        return;
    }
    if (id == kIdSave) {
        OnSave();
    } else if (id >= kIdDefragButton && id < kIdDefragButton + rowControls_) {
        OnDefragNow(id - kIdDefragButton);
    } else if ((id > kIdOptionCheck && id <= kIdAfterDefrag + 3) ||
               (id >= kIdDriveCheck && id < kIdDriveCheck + rowControls_)) {
        ReadChoices();
        form_.MarkOptionsChanged();
        ApplyChangeState();
    } else {
        Dialog::OnCommand(id, code, control);
    }
}

void OptionsDialog::OnSave() {
    ReadChoices();
    if (form_.Save() == SaveOutcome::NoDriveWarning) {
        ::SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kIdDriveCheck)), TRUE);
        ProgramMsgBox().MsgBox(kNoDriveWarning, kOptionsMessageStyle, kOptionsTitle);
        return;
    }
    ApplyChangeState();
}

void OptionsDialog::OnDefragNow(int row) {
    ReadChoices();
    const auto& rows = form_.Rows();
    if (row < static_cast<int>(rows.size())) {
        defragNow_.Start(row, rows[static_cast<size_t>(row)].letter, form_.Choices().priority);
    }
}

bool OptionsDialog::OnNotify(const NMHDR& header, LRESULT&) {
    return balloon_ && balloon_->HandleNotify(&header);
}

bool OptionsDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_MOUSEMOVE:
            if (hover_) {
                hover_->OtherMouseMove();
            }
            return false;
        case WM_SETCURSOR:
            if (defragNow_.Running()) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
                result = TRUE;
                return true;
            }
            return false;
        case WM_DEVICECHANGE: {
            const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lp);
            if ((wp == DBT_DEVICEARRIVAL || wp == DBT_DEVICEREMOVECOMPLETE) && header &&
                header->dbch_devicetype == DBT_DEVTYP_VOLUME) {
                RefreshDriveRows();
            }
            result = TRUE;
            return true;
        }
        case WM_ACTIVATE:
            // Another program's window in front: the balloon must not stay over it.
            if (LOWORD(wp) == WA_INACTIVE && hover_) {
                hover_->HideDriveBalloon();
            }
            return false;
        case WM_SETTINGCHANGE:
            // The user's number and date forms: the balloon's sizes and the rows' last results.
            if (IsRegionalSettingsChange(lp)) {
                ReadNumberFormat();
                ShowDriveStates();
            }
            return false;
        case WM_DESTROY:
            OnWindowGone();
            return false;
        default:
            return false;
    }
}

void OptionsDialog::OnWindowGone() {
    // The run goes on without the window; the balloon and its hover go with it.
    defragNow_.SetView(nullptr);
    hover_.reset();
    balloon_.reset();
    rowControls_ = 0;
}

LRESULT CALLBACK OptionsDialog::RowControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                               UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<OptionsDialog*>(data);
    const int controlId = static_cast<int>(id);
    switch (msg) {
        case WM_MOUSEMOVE:
            if (self->hover_) {
                if (controlId >= kIdDefragButton) {
                    self->hover_->OtherMouseMove();
                } else {
                    self->hover_->OnPointerOverDrive(controlId - kIdDriveCheck);
                    // To hear of the pointer leaving the dialog straight from the box.
                    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
                    ::TrackMouseEvent(&track);
                }
            }
            break;
        case WM_MOUSELEAVE:
            if (self->hover_ && self->IsCursorOutside()) {
                self->hover_->HideDriveBalloon();
            }
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(hwnd, &OptionsDialog::RowControlProc, id);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

void OptionsDialog::ShowAlreadyRunning() {
    ProgramMsgBox().MsgBox(kAlreadyRunningMessage, kOptionsMessageStyle, kOptionsTitle);
}

void OptionsDialog::ShowRunning(const std::string& panelCaption) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    const RunningMessagePlace place = PlaceRunningMessage(places_, SaveButtonTop(FormHeight()));
    PlaceControl(kIdRunningMessage,
                 {kRunningMessageLeft, place.top, kRunningMessageWidth, place.height});
    HWND panel = Item(kIdRunningMessage);
    ::SetWindowTextW(panel, Widen(panelCaption).c_str());
    ::SetWindowPos(panel, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::InvalidateRect(panel, nullptr, FALSE);
    // A marquee until the defragmenter prints a percentage; Windows XP's never does.
    PlaceControl(kIdRunningBar, {kRunningMessageLeft + kRunningBarInset, RunningBarTop(place),
                                 kRunningMessageWidth - 2 * kRunningBarInset, kRunningBarHeight});
    HWND bar = Item(kIdRunningBar);
    ::SetWindowLongPtrW(bar, GWL_STYLE, ::GetWindowLongPtrW(bar, GWL_STYLE) | PBS_MARQUEE);
    ::SendMessageW(bar, PBM_SETMARQUEE, TRUE, 30);
    ::SetWindowPos(bar, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (const auto& progress = defragNow_.Progress()) {
        ShowProgress(*progress);  // the dialog opened again during the run
    }
}

void OptionsDialog::ShowProgress(const DefragProgress& progress) {
    HWND bar = Item(kIdRunningBar);
    if (::GetWindowLongPtrW(bar, GWL_STYLE) & PBS_MARQUEE) {
        ::SendMessageW(bar, PBM_SETMARQUEE, FALSE, 0);
        ::SetWindowLongPtrW(bar, GWL_STYLE, ::GetWindowLongPtrW(bar, GWL_STYLE) & ~PBS_MARQUEE);
        ::SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    }
    ::SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(progress.percent), 0);
}

void OptionsDialog::ShowFinished(int row) {
    ::ShowWindow(Item(kIdRunningMessage), SW_HIDE);
    ::SendMessageW(Item(kIdRunningBar), PBM_SETMARQUEE, FALSE, 0);
    ::ShowWindow(Item(kIdRunningBar), SW_HIDE);
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    if (HWND check = Item(kIdDriveCheck + row); check && ::IsWindowEnabled(check)) {
        ::SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(check), TRUE);
    }
}

bool OptionsDialog::IsCursorOutside() {
    return win::IsCursorOutside(Hwnd());
}

std::string OptionsDialog::DriveBalloonMessage(int row) {
    const auto& rows = form_.Rows();
    if (row < 0 || row >= static_cast<int>(rows.size())) {
        return {};
    }
    const DriveRow& r = rows[static_cast<size_t>(row)];
    return DriveBalloonText(s_.drives.DetailsOf(r.Root()), r.fileSystem, numbers_);
}

int OptionsDialog::ShowBalloon(int row, const std::string& title, const std::string& message) {
    if (!balloon_) {  // made on first use: most openings of the dialog never show one
        balloon_ = std::make_unique<BalloonTip>(Hwnd(), BalloonTip::Layer::kOverOwner);
        balloon_->onClosed = [this](std::uint16_t) { hover_->BalloonClosed(); };
    }
    balloon_->SetTitle(Widen(title));
    balloon_->SetMessage(Widen(message));
    const std::uint16_t id = balloon_->ShowForWindow(Item(kIdDriveCheck + row));
    return id == 0 ? kNoBalloon : id;
}

void OptionsDialog::SetBalloonMessage(int id, const std::string& message) {
    if (balloon_) {
        balloon_->UpdateMessage(static_cast<std::uint16_t>(id), Widen(message));
    }
}

void OptionsDialog::RemoveBalloon(int id) {
    if (balloon_) {
        balloon_->Remove(static_cast<std::uint16_t>(id));
    }
}

}  // namespace qm::win
