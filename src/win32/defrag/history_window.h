#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

#include "core/common/settings_store.h"
#include "core/defrag/run_history.h"
#include "win32/common/dialog.h"
#include "win32/common/locale_date_format.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/log_folder.h"

namespace qm::win {

struct HimagelistTraits {  // an image list holds GDI bitmaps of its own
    using Handle = HIMAGELIST;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::ImageList_Destroy(h); }
    static void Count(long delta) { LiveResources::gdiObjects += delta; }
};
using UniqueHimagelist = UniqueResource<HimagelistTraits>;

// The run history window: the run logs' newest lines in a list, newest first, with buttons
// that open the log folder, copy rows and close. Modeless and resizable; it keeps its place in
// the setting HistoryWindow and follows the monitor's DPI and the user's date formats.
class HistoryWindow : public Dialog {
  public:
    // Control ids; Close is IDCANCEL, so that Esc presses it.
    enum : int { kIdList = 201, kIdOpenFolder, kIdCopy };
    static constexpr const wchar_t* kTitle = L" Run History";

    // `logFolder` replaces the user's log folder (tests); empty for the real one.
    explicit HistoryWindow(SettingsStore& store, std::string logFolder = {});
    ~HistoryWindow() override;

    // Reads the logs again and refills the list, when the window is open.
    void Refresh();

  protected:
    void OnInit() override;
    void OnCommand(int id, int code, HWND control) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnLayout() override;
    void OnClosed() override;

  private:
    void Fill();
    void FitToDpi();
    void ArrangeControls();
    void PlaceOnScreen();
    void SavePlace();
    void OnCopy();
    void OnOpenLogFolder();
    HWND List() const { return Item(kIdList); }

    SettingsStore& store_;
    LocalLogFolder folder_;
    LocaleDateTextFormat format_;
    std::vector<HistoryRow> rows_;
    std::vector<std::array<std::wstring, kHistoryColumns>> cells_;
    UniqueHimagelist images_;  // the warning icon at the window's DPI
    UINT fittedDpi_ = 0;
};

}  // namespace qm::win
