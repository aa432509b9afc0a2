#include "win32/schedule/schedule_editor_dialog.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "win32/common/locale_date_format.h"
#include "win32/common/text.h"
#include "win32/ui/number_box_control.h"
#include "win32/ui/program_msgbox.h"

namespace qm::win {

namespace {

// The design, in twips from the client area's top left. Heights of the form and the tops of
// the day frames come from the editor's logic (LayoutFor, kDayFramesTop).
constexpr int kFrameLeft = 120;
constexpr int kFrameWidth = 4380;
constexpr int kDailyTop = 1680;
constexpr int kGridLeft = 300;
constexpr int kGridTop = kDayFramesTop + 555;
constexpr int kCellWidth = 570;
constexpr int kCellHeight = 390;
constexpr int kGridColumns = 7;
constexpr int kGridRows = 5;
constexpr int kOccursCount = 5;
constexpr int kEveryIndex = 4;

constexpr DWORD kFrameStyle = BS_GROUPBOX | WS_GROUP;
constexpr DWORD kPickerStyle = WS_TABSTOP | WS_GROUP;

SYSTEMTIME PickerTime(HWND picker) {
    SYSTEMTIME st{};
    ::SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    return st;
}

void SetPickerTime(HWND picker, SYSTEMTIME st) {
    ::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

DateTime PickerDate(HWND picker) {
    const SYSTEMTIME st = PickerTime(picker);
    return DateTime::FromParts(st.wYear, st.wMonth, st.wDay, 0, 0, 0).value_or(DateTime());
}

bool Checked(HWND button) {
    return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND button, bool checked) {
    ::SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SetTabStop(HWND control, bool value) {
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    ::SetWindowLongPtrW(control, GWL_STYLE, value ? style | WS_TABSTOP : style & ~WS_TABSTOP);
}

}  // namespace

ScheduleEditorDialog::ScheduleEditorDialog(ScheduleModule& module,
                                           std::function<void()> saveSchedule)
    : logic_(module, *this, std::move(saveSchedule)) {}

void ScheduleEditorDialog::Display(const ScheduleEditorRequest& request) {
    // Already up, or going after a handler of its own: it is not opened a second time.
    if (Hwnd()) {
        if (IsOpen()) {
            BringToFront();
        }
        return;
    }
    if (!Create()) {
        return;
    }
    const auto position = ScheduleEditorPosition(
        request, static_cast<std::int32_t>(PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN), Dpi())),
        static_cast<std::int32_t>(PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN), Dpi())),
        FormWidth());
    if (position) {
        SetFormPosition(position->left, position->top);
    }
    if (!request.title.empty()) {
        ::SetWindowTextW(Hwnd(), Widen(request.title).c_str());
    }
    logic_.Open(request.acceptChanges);
    ::SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kIdOccurs0 + occurs_)),
                   TRUE);
    if (request.modal) {
        RunModal();
    } else {
        ShowModeless();
    }
}

void ScheduleEditorDialog::OnInit() {
    NumberBoxControl::Register();
    occurs_ = -1;
    useEndDate_ = false;
    area_ = EditorArea::kNone;
    ::SetWindowTextW(Hwnd(), L" Schedule");
    AddOccursFrame();
    AddDailyFrame();
    AddWeeklyFrame();
    AddMonthlyFrame();
    AddControl(kIdOk, L"BUTTON", L"&OK", WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON,
               {3285, 165, 1215, 345});
    AddControl(kIdCancel, L"BUTTON", L"Close", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
               {3285, 600, 1215, 345});
    AddControl(kIdStatusBar, STATUSCLASSNAMEW, L"", WS_VISIBLE, {});
    SetDesignedFormSize(kFormWidthTwips, LayoutFor(0).formHeight);
    logic_.Load();
}

void ScheduleEditorDialog::AddOccursFrame() {
    AddControl(kIdOccursFrame, L"BUTTON", L"Occurs", WS_VISIBLE | kFrameStyle,
               {kFrameLeft, 60, 3045, 1530});
    static constexpr std::array<const wchar_t*, kOccursCount> kNames = {
        L"Never", L"Daily", L"Weekly", L"Monthly", L"Every"};
    for (int i = 0; i < kOccursCount; ++i) {
        AddControl(kIdOccurs0 + i, L"BUTTON", kNames[static_cast<std::size_t>(i)],
                   WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0),
                   {240, 300 + 240 * i, i == kEveryIndex ? 780 : 1200, 240});
    }
    AddControl(kIdEveryNumber, NumberBoxControl::kClassName, L"",
               WS_VISIBLE | WS_GROUP | WS_TABSTOP, {1080, 1245, 780, 300});
    if (NumberBoxControl* every = EveryNumber()) {
        SetUpEveryCountBox(*every);
    }
    const HWND combo = AddControl(kIdEveryCombo, WC_COMBOBOXW, L"",
                                  WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                                  {1935, 1245, 1110, 1200});
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"hour(s)"));
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"minute(s)"));
}

void ScheduleEditorDialog::AddDailyFrame() {
    AddControl(kIdDailyFrame, L"BUTTON", L"Execution", kFrameStyle,
               {kFrameLeft, kDailyTop, kFrameWidth, 1380});
    AddControl(kIdTimeLabel, L"STATIC", L"Time:", SS_LEFT, {240, 1995, 615, 225});
    const HWND time = AddControl(kIdTimeStart, DATETIMEPICK_CLASSW, L"",
                                 kPickerStyle | DTS_TIMEFORMAT, {900, 1950, 1455, 300});
    ::SendMessageW(time, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"hh:mm tt"));
    AddControl(kIdStartLabel, L"STATIC", L"Start:", SS_LEFT, {240, 2355, 615, 225});
    const HWND start = AddControl(kIdDateStart, DATETIMEPICK_CLASSW, L"",
                                  WS_TABSTOP | DTS_SHORTDATEFORMAT, {900, 2310, 1455, 300});
    AddControl(kIdEndOption0, L"BUTTON", L"End:", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP,
               {240, 2700, 660, 240});
    AddControl(kIdEndOption1, L"BUTTON", L"No end date", BS_AUTORADIOBUTTON,
               {2580, 2700, 1500, 240});
    const HWND end = AddControl(kIdDateEnd, DATETIMEPICK_CLASSW, L"",
                                kPickerStyle | DTS_SHORTDATEFORMAT, {900, 2670, 1455, 300});
    for (HWND picker : {start, end}) {
        ::SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"MM/dd/yyy"));
    }
    dailyIds_ = {kIdDailyFrame, kIdTimeLabel,  kIdTimeStart,  kIdStartLabel,
                 kIdDateStart,  kIdEndOption0, kIdEndOption1, kIdDateEnd};
}

void ScheduleEditorDialog::AddWeeklyFrame() {
    AddControl(kIdWeeklyFrame, L"BUTTON", L"Weekly Schedule", kFrameStyle,
               {kFrameLeft, kDayFramesTop, kFrameWidth, 1440});
    static constexpr std::array<const wchar_t*, 7> kDays = {
        L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};
    weeklyIds_ = {kIdWeeklyFrame};
    for (int i = 0; i < 7; ++i) {
        AddControl(kIdWeeklyDay1 + i, L"BUTTON", kDays[static_cast<std::size_t>(i)],
                   BS_AUTOCHECKBOX | WS_TABSTOP,
                   {360 + 1920 * (i / 4), kDayFramesTop + 270 + 270 * (i % 4), 1500, 240});
        weeklyIds_.push_back(kIdWeeklyDay1 + i);
    }
}

void ScheduleEditorDialog::AddMonthlyFrame() {
    AddControl(kIdMonthlyFrame, L"BUTTON", L"Monthly Schedule", kFrameStyle,
               {kFrameLeft, kDayFramesTop, kFrameWidth, 2700});
    AddControl(kIdDateLabel0, L"STATIC", L"By calendar date", SS_LEFT,
               {kGridLeft, kDayFramesTop + 270, 2400, 225});
    monthlyIds_ = {kIdMonthlyFrame, kIdDateLabel0};
    // The calendar's lines: a row of seven days between two rules, a column between two.
    int line = kIdDateLine0;
    for (int row = 0; row <= kGridRows; ++row, ++line) {
        AddControl(line, L"STATIC", L"", SS_ETCHEDHORZ,
                   {kGridLeft, kGridTop + kCellHeight * row, kCellWidth * kGridColumns, 30});
        monthlyIds_.push_back(line);
    }
    for (int column = 0; column <= kGridColumns; ++column, ++line) {
        AddControl(line, L"STATIC", L"", SS_ETCHEDVERT,
                   {kGridLeft + kCellWidth * column, kGridTop, 30, kCellHeight * kGridRows});
        monthlyIds_.push_back(line);
    }
    for (int day = 1; day <= 31; ++day) {
        const int left = kGridLeft + kCellWidth * ((day - 1) % kGridColumns);
        const int top = kGridTop + kCellHeight * ((day - 1) / kGridColumns);
        AddControl(kIdDateCheck1 + day - 1, L"BUTTON", L"", BS_AUTOCHECKBOX | WS_TABSTOP,
                   {left + 75, top + 75, 240, 240});
        AddControl(kIdDateLabel1 + day - 1, L"STATIC", std::to_wstring(day), SS_LEFT,
                   {left + 330, top + 90, 225, 225});
        monthlyIds_.push_back(kIdDateCheck1 + day - 1);
        monthlyIds_.push_back(kIdDateLabel1 + day - 1);
    }
}

NumberBoxControl* ScheduleEditorDialog::EveryNumber() const {
    return NumberBoxControl::From(Item(kIdEveryNumber));
}

void ScheduleEditorDialog::OnCommand(int id, int code, HWND control) {
    if (id >= kIdOccurs0 && id < kIdOccurs0 + kOccursCount) {
        // A click on the option already chosen changes nothing.
        if (code == BN_CLICKED && Checked(control) && id - kIdOccurs0 != occurs_) {
            occurs_ = id - kIdOccurs0;
            logic_.OccursChanged(occurs_);
        }
    } else if (id == kIdEndOption0 || id == kIdEndOption1) {
        const bool useEndDate = Checked(Item(kIdEndOption0));
        if (code == BN_CLICKED && useEndDate != useEndDate_) {
            useEndDate_ = useEndDate;
            logic_.EndOptionChanged(useEndDate);
        }
    } else if (id == kIdEveryCombo) {
        if (code == CBN_SELCHANGE) {
            logic_.UnitChanged(static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0)));
        }
    } else if ((id >= kIdWeeklyDay1 && id < kIdWeeklyDay1 + 7) ||
               (id >= kIdDateCheck1 && id < kIdDateCheck1 + 31)) {
        if (code == BN_CLICKED) {
            logic_.ValueChanged();
        }
    } else if (id == kIdOk) {
        // Enter reaches here too; it confirms only what OK offers.
        if (::IsWindowEnabled(Item(kIdOk))) {
            logic_.Confirm();
        }
    } else {
        Dialog::OnCommand(id, code, control);
    }
}

bool ScheduleEditorDialog::OnNotify(const NMHDR& header, LRESULT&) {
    const auto id = static_cast<int>(header.idFrom);
    const bool numberChanged = id == kIdEveryNumber && header.code == kNbnChange;
    const bool dateChanged = (id == kIdTimeStart || id == kIdDateStart || id == kIdDateEnd) &&
                             header.code == DTN_DATETIMECHANGE;
    if (numberChanged || dateChanged) {
        logic_.ValueChanged();
    }
    return false;
}

bool ScheduleEditorDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT&) {
    if (msg == WM_SETCURSOR && HIWORD(lp) == WM_MOUSEMOVE) {
        const EditorArea area = AreaAt(reinterpret_cast<HWND>(wp));
        if (area != area_) {
            area_ = area;
            logic_.MouseOver(area);
        }
    } else if (msg == WM_SIZE) {
        // The status bar keeps to the bottom edge as the form's height follows the layout.
        OnLayout();
    }
    return false;
}

void ScheduleEditorDialog::OnLayout() {
    ::SendMessageW(Item(kIdStatusBar), WM_SIZE, 0, 0);
}

EditorArea ScheduleEditorDialog::AreaAt(HWND under) const {
    if (under == Item(kIdOk)) {
        return EditorArea::kOk;
    }
    if (under == Item(kIdCancel)) {
        return EditorArea::kCancel;
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(Hwnd(), &cursor);
    const std::pair<int, EditorArea> frames[] = {{kIdOccursFrame, EditorArea::kOccurs},
                                                 {kIdDailyFrame, EditorArea::kExecution},
                                                 {kIdWeeklyFrame, EditorArea::kDays},
                                                 {kIdMonthlyFrame, EditorArea::kDays}};
    for (const auto& [id, area] : frames) {
        const HWND frame = Item(id);
        RECT r{};
        if (::IsWindowVisible(frame) && ::GetWindowRect(frame, &r)) {
            ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
            if (::PtInRect(&r, cursor)) {
                return area;
            }
        }
    }
    return EditorArea::kNone;
}

EditorFields ScheduleEditorDialog::Fields() const {
    EditorFields f;
    for (int i = 0; i < kOccursCount; ++i) {
        if (Checked(Item(kIdOccurs0 + i))) {
            f.occurs = i;
        }
    }
    if (const NumberBoxControl* every = EveryNumber()) {
        // Confirmed with Enter while the count is being typed, the limits still hold.
        f.everyCount = every->LimitedValue();
    }
    f.everyUnit = ::SendMessageW(Item(kIdEveryCombo), CB_GETCURSEL, 0, 0) == 1 ? 1 : 0;
    const SYSTEMTIME time = PickerTime(Item(kIdTimeStart));
    f.startHour = time.wHour;
    f.startMinute = time.wMinute;
    f.startDate = PickerDate(Item(kIdDateStart));
    f.endDate = PickerDate(Item(kIdDateEnd));
    f.useEndDate = Checked(Item(kIdEndOption0));
    for (std::size_t i = 0; i < f.weekly.size(); ++i) {
        f.weekly[i] = Checked(Item(kIdWeeklyDay1 + static_cast<int>(i))) ? '1' : '0';
    }
    for (std::size_t i = 0; i < f.monthly.size(); ++i) {
        f.monthly[i] = Checked(Item(kIdDateCheck1 + static_cast<int>(i))) ? '1' : '0';
    }
    return f;
}

void ScheduleEditorDialog::ShowFields(const EditorFields& f) {
    occurs_ = f.occurs;
    ::CheckRadioButton(Hwnd(), kIdOccurs0, kIdOccurs0 + kOccursCount - 1, kIdOccurs0 + f.occurs);
    if (NumberBoxControl* every = EveryNumber()) {
        every->SetValue(f.everyCount);
    }
    ::SendMessageW(Item(kIdEveryCombo), CB_SETCURSEL, static_cast<WPARAM>(f.everyUnit), 0);
    // The time picker holds a whole moment: today, at the start time.
    SYSTEMTIME time{};
    ::GetLocalTime(&time);
    time.wHour = static_cast<WORD>(f.startHour);
    time.wMinute = static_cast<WORD>(f.startMinute);
    time.wSecond = 0;
    time.wMilliseconds = 0;
    SetPickerTime(Item(kIdTimeStart), time);
    // A stored date the pickers cannot hold leaves them at today.
    SetPickerTime(Item(kIdDateStart), ToSystemTime(f.startDate.DatePart()));
    SetPickerTime(Item(kIdDateEnd), ToSystemTime(f.endDate.DatePart()));
    useEndDate_ = f.useEndDate;
    ::CheckRadioButton(Hwnd(), kIdEndOption0, kIdEndOption1,
                       f.useEndDate ? kIdEndOption0 : kIdEndOption1);
    for (std::size_t i = 0; i < f.weekly.size(); ++i) {
        SetChecked(Item(kIdWeeklyDay1 + static_cast<int>(i)), f.weekly[i] == '1');
    }
    for (std::size_t i = 0; i < f.monthly.size(); ++i) {
        SetChecked(Item(kIdDateCheck1 + static_cast<int>(i)), f.monthly[i] == '1');
    }
}

void ScheduleEditorDialog::ShowPart(const std::vector<int>& ids, bool shown) {
    for (int id : ids) {
        const HWND control = Item(id);
        ::ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
        ::EnableWindow(control, shown);
    }
}

void ScheduleEditorDialog::ApplyLayout(const EditorLayout& layout) {
    SetDesignedFormSize(kFormWidthTwips, layout.formHeight);
    ShowPart(dailyIds_, layout.daily);
    ::EnableWindow(Item(kIdDateEnd), layout.daily && useEndDate_);
    ShowPart(weeklyIds_, layout.weekly);
    ShowPart(monthlyIds_, layout.monthly);
    ::EnableWindow(Item(kIdEveryNumber), layout.everyEnabled);
    if (NumberBoxControl* every = EveryNumber()) {
        every->SetTabStop(layout.everyEnabled);
    }
    ::EnableWindow(Item(kIdEveryCombo), layout.everyEnabled);
    SetTabStop(Item(kIdEveryCombo), layout.everyEnabled);
}

void ScheduleEditorDialog::SetEveryLimits(int minValue, int increment) {
    if (NumberBoxControl* every = EveryNumber()) {
        every->SetMinValue(minValue);
        every->SetUpDownIncrement(increment);
    }
}

void ScheduleEditorDialog::SetEndDateEnabled(bool enabled) {
    ::EnableWindow(Item(kIdDateEnd), enabled);
}

void ScheduleEditorDialog::ShowChanged(bool changed) {
    ::EnableWindow(Item(kIdOk), changed);
    SetDefaultButton(changed ? kIdOk : kIdCancel);
    ::SetWindowTextW(Item(kIdCancel), changed ? L"Cancel" : L"Close");
}

void ScheduleEditorDialog::Focus(EditorControl control) {
    HWND target = nullptr;
    switch (control) {
        case EditorControl::kEveryNumber:
            if (const NumberBoxControl* every = EveryNumber()) {
                target = every->Edit();
            }
            break;
        case EditorControl::kDateStart:
            target = Item(kIdDateStart);
            break;
        case EditorControl::kDateEnd:
            target = Item(kIdDateEnd);
            break;
        case EditorControl::kMonday:
            target = Item(kIdWeeklyDay1 + 1);
            break;
        case EditorControl::kFirstCalendarDate:
            target = Item(kIdDateCheck1);
            break;
    }
    // A control that cannot take the focus just does not get it.
    if (target && ::IsWindowVisible(target) && ::IsWindowEnabled(target)) {
        ::SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
    }
}

void ScheduleEditorDialog::SetStatusText(std::string_view text) {
    ::SendMessageW(Item(kIdStatusBar), SB_SETTEXTW, 0,
                   reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void ScheduleEditorDialog::Beep() {
    ::MessageBeep(MB_OK);
}

void ScheduleEditorDialog::ShowMessage(std::string_view prompt, std::int16_t style,
                                       std::string_view title) {
    ProgramMsgBox().MsgBox(prompt, style, title);
}

}  // namespace qm::win
