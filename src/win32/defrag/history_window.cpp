#include "win32/defrag/history_window.h"

#include <commctrl.h>

#include "core/app/settings_keys.h"
#include "win32/common/clipboard.h"
#include "win32/common/shell_open.h"
#include "win32/common/text.h"

namespace qm::win {
namespace {

struct Column {
    const wchar_t* title;
    int width;  // pixels at 96 DPI
    int format;
};
constexpr Column kColumns[kHistoryColumns] = {{L"Started", 150, LVCFMT_LEFT},
                                              {L"Drive", 45, LVCFMT_LEFT},
                                              {L"Duration", 65, LVCFMT_RIGHT},
                                              {L"Outcome", 240, LVCFMT_LEFT},
                                              {L"Command Line", 180, LVCFMT_LEFT}};

// The layout, in pixels at 96 DPI.
constexpr int kMargin = 8;
constexpr int kButtonHeight = 23;
constexpr int kWideButton = 110;
constexpr int kButton = 75;
constexpr int kMinWidth = 400;
constexpr int kMinHeight = 220;

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT r, LPARAM list) {
    reinterpret_cast<std::vector<Rect>*>(list)->push_back(
        Rect{r->left, r->top, r->right, r->bottom});
    return TRUE;
}

}  // namespace

HistoryWindow::HistoryWindow(SettingsStore& store, std::string logFolder)
    : store_(store), folder_(std::move(logFolder)) {}

HistoryWindow::~HistoryWindow() {
    Close();  // while this class still handles the window's last messages
}

void HistoryWindow::OnInit() {
    const HWND hwnd = Hwnd();
    ::SetWindowTextW(hwnd, kTitle);
    // Resizable, unlike the program's forms: the log's lines are long and many.
    ::SetWindowLongPtrW(
        hwnd, GWL_STYLE,
        ::GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    ::SetWindowLongPtrW(
        hwnd, GWL_EXSTYLE,
        (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & ~WS_EX_DLGMODALFRAME) | WS_EX_APPWINDOW);
    // Created in the tab order.
    const HWND list = AddControl(kIdList, WC_LISTVIEWW, L"",
                                 WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                     LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                                 {}, WS_EX_CLIENTEDGE);
    const DWORD button = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    AddControl(kIdOpenFolder, L"BUTTON", L"&Open Log Folder", button, {});
    AddControl(kIdCopy, L"BUTTON", L"&Copy", button, {});
    AddControl(IDCANCEL, L"BUTTON", L"Close", button, {});
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (int i = 0; i < static_cast<int>(kHistoryColumns); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kColumns[i].title);
        column.cx = kColumns[i].width;
        column.fmt = kColumns[i].format;
        column.iSubItem = i;
        ListView_InsertColumn(list, i, &column);
    }
    fittedDpi_ = kDefaultDpi;
    FitToDpi();
    PlaceOnScreen();
    Fill();
    ::SetFocus(list);
}

void HistoryWindow::Refresh() {
    if (IsOpen()) {
        Fill();
    }
}

void HistoryWindow::Fill() {
    rows_ = HistoryRows(ReadHistoryText(folder_));
    cells_.clear();
    cells_.reserve(rows_.size());
    for (const HistoryRow& row : rows_) {
        const auto cells = HistoryCells(row, format_);
        auto& wide = cells_.emplace_back();
        for (std::size_t c = 0; c < kHistoryColumns; ++c) {
            wide[c] = Widen(cells[c]);
        }
    }
    const HWND list = List();
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemCountEx(list, static_cast<int>(rows_.size()), 0);
    if (!rows_.empty()) {
        ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    ::InvalidateRect(list, nullptr, TRUE);
}

// The warning icon and the column widths at the window's DPI.
void HistoryWindow::FitToDpi() {
    const UINT dpi = Dpi();
    const HWND list = List();
    const int size = SystemMetricAt(SM_CXSMICON, dpi);
    images_.reset(::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 1));
    HICON raw = nullptr;
    // The system's small size; the image list scales it to the window's DPI.
    if (SUCCEEDED(::LoadIconMetric(nullptr, IDI_WARNING, LIM_SMALL, &raw))) {
        UniqueHicon icon(raw);
        ::ImageList_AddIcon(images_.get(), icon.get());
    }
    ListView_SetImageList(list, images_.get(), LVSIL_SMALL);
    for (int i = 0; i < static_cast<int>(kHistoryColumns); ++i) {
        const int width = ListView_GetColumnWidth(list, i);
        ListView_SetColumnWidth(
            list, i, ::MulDiv(width, static_cast<int>(dpi), static_cast<int>(fittedDpi_)));
    }
    fittedDpi_ = dpi;
}

void HistoryWindow::ArrangeControls() {
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    const auto px = [this](int v) { return ::MulDiv(v, static_cast<int>(Dpi()), kDefaultDpi); };
    const int m = px(kMargin), h = px(kButtonHeight), w = px(kButton);
    const int buttonsTop = client.bottom - m - h;
    const auto place = [this](int id, int x, int y, int cx, int cy) {
        ::SetWindowPos(Item(id), nullptr, x, y, std::max(cx, 0), std::max(cy, 0),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(kIdList, m, m, client.right - 2 * m, buttonsTop - 2 * m);
    place(kIdOpenFolder, m, buttonsTop, px(kWideButton), h);
    place(kIdCopy, client.right - m - 2 * w - px(6), buttonsTop, w, h);
    place(IDCANCEL, client.right - m - w, buttonsTop, w, h);
}

void HistoryWindow::OnLayout() {
    if (fittedDpi_ != Dpi()) {
        FitToDpi();
    }
    ArrangeControls();
}

void HistoryWindow::PlaceOnScreen() {
    std::vector<Rect> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const auto stored = ParseWindowPlace(store_.GetSetting(keys::kHistoryWindow, ""));
    const POINT centre =
        stored ? POINT{stored->left + stored->width / 2, stored->top + stored->height / 2}
               : POINT{(work.left + work.right) / 2, (work.top + work.bottom) / 2};
    const Rect r = HistoryWindowRect(
        stored, monitors, Rect{work.left, work.top, work.right, work.bottom}, DpiAtPoint(centre));
    ::SetWindowPos(Hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void HistoryWindow::SavePlace() {
    RECT r{};
    if (::IsIconic(Hwnd()) || ::IsZoomed(Hwnd()) || !::GetWindowRect(Hwnd(), &r)) {
        return;  // the place to come back to is the last ordinary one
    }
    const int dpi = static_cast<int>(Dpi());
    store_.SaveSetting(
        keys::kHistoryWindow,
        FormatWindowPlace({r.left, r.top, ::MulDiv(r.right - r.left, kDefaultDpi, dpi),
                           ::MulDiv(r.bottom - r.top, kDefaultDpi, dpi)}));
}

void HistoryWindow::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case kIdOpenFolder:
            OnOpenLogFolder();
            break;
        case kIdCopy:
            OnCopy();
            break;
        case IDOK:  // Enter
            Close();
            break;
        default:
            Dialog::OnCommand(id, code, control);
            break;
    }
}

void HistoryWindow::OnCopy() {
    std::vector<std::size_t> which;
    for (int i = ListView_GetNextItem(List(), -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(List(), i, LVNI_SELECTED)) {
        which.push_back(static_cast<std::size_t>(i));
    }
    if (which.empty()) {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            which.push_back(i);
        }
    }
    SetClipboardText(Hwnd(), Widen(HistoryTsv(rows_, which, format_)));
}

void HistoryWindow::OnOpenLogFolder() {
    const std::wstring folder = Widen(folder_.Folder());
    ::CreateDirectoryW(folder.c_str(), nullptr);  // before the first run it may not be there
    OpenInShell(folder);
}

bool HistoryWindow::OnNotify(const NMHDR& header, LRESULT&) {
    if (header.idFrom != kIdList || header.code != LVN_GETDISPINFOW) {
        return false;
    }
    LVITEMW& item = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header)).item;
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= cells_.size()) {
        return true;
    }
    if ((item.mask & LVIF_TEXT) && item.iSubItem >= 0 &&
        item.iSubItem < static_cast<int>(kHistoryColumns) && item.cchTextMax > 0) {
        const std::wstring& text = cells_[item.iItem][item.iSubItem];
        const std::size_t n = std::min<std::size_t>(text.size(), item.cchTextMax - 1);
        text.copy(item.pszText, n);
        item.pszText[n] = L'\0';
    }
    if (item.mask & LVIF_IMAGE) {
        item.iImage = rows_[item.iItem].warning ? 0 : I_IMAGENONE;
    }
    return true;
}

bool HistoryWindow::OnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_SIZE:
            ArrangeControls();
            return false;
        case WM_GETMINMAXINFO: {
            auto& info = *reinterpret_cast<MINMAXINFO*>(lp);
            info.ptMinTrackSize = {::MulDiv(kMinWidth, static_cast<int>(Dpi()), kDefaultDpi),
                                   ::MulDiv(kMinHeight, static_cast<int>(Dpi()), kDefaultDpi)};
            result = 0;
            return true;
        }
        case WM_SETTINGCHANGE:
            // The user's date and time formats changed: the start times are written anew.
            if (IsRegionalSettingsChange(lp)) {
                Fill();
            }
            return false;
        case WM_DESTROY:
            SavePlace();
            return false;
        default:
            return false;
    }
}

void HistoryWindow::OnClosed() {
    rows_.clear();
    cells_.clear();
    images_.reset();
    fittedDpi_ = 0;
}

}  // namespace qm::win
