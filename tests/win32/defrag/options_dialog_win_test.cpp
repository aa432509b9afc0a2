#include "win32/defrag/options_dialog.h"

#include <commctrl.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <map>

#include "support/fakes.h"
#include "win32/common/dpi.h"
#include "win32/win_fixture.h"

namespace qm::win {
namespace {

constexpr int kDrive = OptionsDialog::kIdDriveCheck, kSave = OptionsDialog::kIdSave;

// Fixed volumes by letter and label, which the test adds and takes away.
struct OptionsDialogTest : ::testing::Test, DriveSystem {
    std::string LogicalDriveStrings() const override {
        std::string list;
        for (const auto& entry : labels) {
            list += std::string(1, entry.first) + ":\\" + '\0';
        }
        return list + '\0';
    }
    bool IsFixed(const std::string&) const override { return true; }
    VolumeDetails DetailsOf(const std::string& root) const override {
        return {.label = labels.at(root[0]),
                .labelRead = true,
                .fileSystem = {},  // "e:\"
                .sizesRead = true,
                .freeBytesAvailable = 1 << 30,
                .totalBytes = 1ull << 33};
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog.Hwnd(), id); }
    int Bottom(int id) const {  // 0: the form's own
        RECT r{};
        ::GetWindowRect(id ? Item(id) : dialog.Hwnd(), &r);
        return r.bottom;
    }
    void VolumeChange(WPARAM event) {
        DEV_BROADCAST_VOLUME volume{sizeof(volume), DBT_DEVTYP_VOLUME, 0, 0, 0};
        ::SendMessageW(dialog.Hwnd(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
    }
    std::map<char, std::string> labels{{'c', ""}, {'d', "Data"}};
    test::MemorySettingsStore store;
    RunSettings run;
    test::FakeProcessTable processes;
    test::FakeLauncher launcher{processes};
    DefragSystem system;
    test::FakeStartupPlatform startup;
    test::FakeTimer wait, priority;
    test::FakeClock clock{D(2026, 12, 7)};
    std::optional<unsigned> wakeTimers;  // the power plan's "Allow wake timers"; unread
    // The user's date form as the regional settings give it now.
    struct ShortDates final : DateTextFormat {
        std::string FormatShortDate(DateTime) const override { return form; }
        std::string FormatTime(DateTime) const override { return {}; }
        std::optional<DateTime> ParseDateText(std::string_view) const override { return {}; }
        std::string form = "12/6/2026";
    } dates;
    test::MemoryLogFolder log;
    OptionsDialog dialog{{store, run, *this, processes, launcher, system, startup, wait, priority,
                          nullptr, nullptr, nullptr, clock, &log, [this] { return wakeTimers; },
                          &dates}};
};

TEST_F(OptionsDialogTest, ANewVolumeGetsATickedRowAndAHundredOpeningsLeaveNothingBehind) {
    store.SaveSetting("ShowDDrive", "0");
    store.SaveSetting("ShowFDrive", "0");
    ASSERT_TRUE(dialog.Create());
    const int form = Bottom(0), save = Bottom(kSave);
    labels['e'] = "Backup";
    labels['f'] = "";
    VolumeChange(DBT_DEVICEARRIVAL);
    wchar_t caption[64] = {};
    ::GetDlgItemTextW(dialog.Hwnd(), kDrive + 2, caption, 64);
    EXPECT_STREQ(caption, L"Backup  (E:)");
    std::string ticks;  // re-ticked from their settings
    for (int k = 0; k < 4; ++k) {
        ticks += std::to_string(::IsDlgButtonChecked(dialog.Hwnd(), kDrive + k));
    }
    EXPECT_EQ(ticks, "1010");
    EXPECT_EQ(::GetNextDlgTabItem(dialog.Hwnd(), Item(kDrive + 3), FALSE), Item(kSave))
        << "the drive rows come before Save in the tab order";
    // Two rows more: the form 600 twips taller, Save as far from its bottom edge.
    EXPECT_EQ(Bottom(0) - form, TwipsToPixels(600, dialog.Dpi()));
    EXPECT_EQ(Bottom(kSave) - save, Bottom(0) - form);
    dialog.Close();
    // Opened and closed a hundred times, it leaves no window, timer or GDI object behind.
    test::PumpMessages();
    const auto held = test::HeldResources();
    for (int i = 0; i < 100; ++i) {
        dialog.ShowModeless();
        VolumeChange(i % 2 ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE);
        test::PumpMessages();
        dialog.Close();
        test::PumpMessages();
    }
    EXPECT_EQ(test::HeldResources(), held);
    EXPECT_EQ(std::get<0>(held) + std::get<1>(held), 0u) << "no window or dialog open";
}

TEST_F(OptionsDialogTest, TheStatisticsBalloonGoesAfterFiveSecondsAndWhenTheDialogIsLeft) {
    dialog.ShowModeless();
    HWND tip = nullptr;  // the balloon's tooltip window, once shown
    const auto restOnDriveC = [&] {
        RECT box{};
        ::GetWindowRect(Item(kDrive), &box);
        ::SetCursorPos((box.left + box.right) / 2, (box.top + box.bottom) / 2);
        ::SendMessageW(Item(kDrive), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
        return test::WaitUntil([&] {
            for (tip = nullptr; (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));) {
                if (::IsWindowVisible(tip) &&
                    ::GetWindowThreadProcessId(tip, nullptr) == ::GetCurrentThreadId()) {
                    return true;
                }
            }
            return false;
        });
    };
    ASSERT_TRUE(restOnDriveC());
    const ULONGLONG opened = ::GetTickCount64();
    EXPECT_FALSE(::GetWindowLongPtrW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST)
        << "over its dialog only, not over other programs' windows";
    EXPECT_TRUE(test::WaitUntil([&] { return !::IsWindowVisible(tip); }, 15000));
    EXPECT_GE(::GetTickCount64() - opened, 4500u);
    ASSERT_TRUE(restOnDriveC());
    HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr,
                                   nullptr, nullptr, nullptr);
    ::SetActiveWindow(other);
    EXPECT_FALSE(::IsWindowVisible(tip)) << "gone at once when another window is active";
    ::DestroyWindow(other);
    dialog.Close();
}

TEST_F(OptionsDialogTest, SaveKeepsTheDesignedMarginAboveTheBottomEdgeOnEveryFrame) {
    ASSERT_TRUE(dialog.Create());
    RECT client{}, save{};
    ::GetClientRect(dialog.Hwnd(), &client);
    ::GetWindowRect(Item(kSave), &save);
    ::MapWindowPoints(nullptr, dialog.Hwnd(), reinterpret_cast<POINT*>(&save), 2);
    // On Windows XP's frame the designed height left 75 twips below Save: 5 pixels at 96 DPI.
    EXPECT_EQ(client.bottom - save.bottom, 5) << "on Wine's own frame";
    const int height = save.top * 15 + kButtonsAboveFormBottom;  // twips, from the 96 DPI place
    // Fixed dialog frames (left, top with the caption, right, bottom), and the margin at the DPI.
    const std::tuple<const char*, UINT, FrameThickness, int> frames[] = {
        {"Windows 7", 96, {7, 29, 7, 7}, 5},
        {"Windows 10", 96, {8, 31, 8, 8}, 5},
        {"Windows 7", 144, {10, 43, 10, 10}, 7},
        {"Windows 10", 144, {11, 45, 11, 11}, 7}};
    for (const auto& [system, dpi, frame, margin] : frames) {
        const SIZE window = WindowSizeForDesign(4000, height, dpi, frame);
        const int clientHeight = window.cy - frame.top - frame.bottom;
        EXPECT_EQ(clientHeight - TwipsToPixels(height - kButtonsAboveFormBottom + 375, dpi), margin)
            << system << " at " << dpi << " DPI";
    }
    dialog.Close();
}

TEST_F(OptionsDialogTest, TheRowsFollowTheUsersDateFormWhenItChanges) {
    log.Write("runs.log", "2026-12-06 21:30:05\tC:\tdefrag c:\t0:12:03\tok\r\n");
    ASSERT_TRUE(dialog.Create());
    const auto state = [this] {
        wchar_t text[80] = {};
        ::GetDlgItemTextW(dialog.Hwnd(), OptionsDialog::kIdDriveState, text, 80);
        return std::wstring(text);
    };
    EXPECT_EQ(state(), L"defragmented 12/6/2026");
    dates.form = "06.12.2026";
    ::SendMessageW(dialog.Hwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    EXPECT_EQ(state(), L"defragmented 06.12.2026");
    dialog.Close();
}

TEST_F(OptionsDialogTest, APowerPlanThatKeepsProgramsAsleepIsToldUnderTheWakeBox) {
    wakeTimers = 0;  // Disable
    ASSERT_TRUE(dialog.Create());
    wchar_t note[200] = {};
    ::GetDlgItemTextW(dialog.Hwnd(), OptionsDialog::kIdWakeNote, note, 200);
    EXPECT_TRUE(std::wstring(note).find(L"\"Allow wake timers\" to Enable") != std::wstring::npos);
    EXPECT_LT(Bottom(OptionsDialog::kIdWakeNote), Bottom(OptionsDialog::kIdFrame + 1));
    dialog.Close();
    wakeTimers.reset();  // unread: no line
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(Item(OptionsDialog::kIdWakeNote), nullptr);
}

}  // namespace
}  // namespace qm::win
