#include "win32/defrag/history_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "support/fakes.h"
#include "win32/common/text.h"
#include "win32/win_fixture.h"

namespace qm::win {
namespace {

TEST(HistoryWindow, ListsTheLogKeepsItsPlaceAndAHundredOpeningsLeaveNothingBehind) {
    const test::TempFolder temp;
    LocalLogFolder folder(Narrow(temp.Path()));
    folder.Write(kRunLogFile, RunNoteLine(DateTime::Make(2026, 12, 7, 21, 30, 0), "caught up"));
    test::MemorySettingsStore store;
    store.values["HistoryWindow"] = "10,20,500,300";
    HistoryWindow window(store, folder.Folder());
    window.ShowModeless();
    EXPECT_EQ(ListView_GetItemCount(window.Item(HistoryWindow::kIdList)), 1);
    folder.Append(kRunLogFile, "damaged\r\n");
    window.Refresh();
    EXPECT_EQ(ListView_GetItemCount(window.Item(HistoryWindow::kIdList)), 2);
    window.Close();
    test::PumpMessages();
    EXPECT_EQ(store.values["HistoryWindow"], "10,20,500,300");
    const auto held = test::HeldResources();
    for (int i = 0; i < 100; ++i) {
        window.ShowModeless();
        test::PumpMessages();
        window.Close();
        test::PumpMessages();
    }
    EXPECT_EQ(test::HeldResources(), held);
    EXPECT_EQ(OpenDialogCount(), 0u);
}

}  // namespace
}  // namespace qm::win
