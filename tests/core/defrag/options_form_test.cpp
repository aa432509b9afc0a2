#include "core/defrag/options_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/common/memory_settings_store.h"
#include "core/defrag/options_layout.h"

namespace qm {
namespace {

// The start-up entry and the settings writes, in the one order they happen.
struct Journal final : SettingsStore, StartupEntry {
    std::string GetSetting(std::string_view key, std::string_view fallback) const override {
        return inner.GetSetting(key, fallback);
    }
    bool SaveSetting(std::string_view key, std::string_view value) override {
        log.push_back(std::string(key) + "=" + std::string(value));
        return inner.SaveSetting(key, value);
    }
    bool IsSet() override { return startupSet; }
    void Set(bool on) override {
        startupSet = on;
        log.push_back(on ? "startup on" : "startup off");
    }
    MemorySettingsStore inner;
    bool startupSet = false;
    std::vector<std::string> log;
};

FixedVolume Volume(char letter, bool ready = true) {
    FixedVolume v;
    v.letter = letter;
    v.details.labelRead = ready;
    return v;
}

class OptionsFormTest : public ::testing::Test {
  protected:
    Journal j;
    RunSettings run;
    OptionsForm form{j, run, j};
    const std::vector<FixedVolume> cde{Volume('c'), Volume('d'), Volume('e')};
};

TEST_F(OptionsFormTest, LoadsFromTheSettingsAndTheRunStateUnchanged) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> settings;
        int runPriority, afterAction;
        bool startup;
        OptionsChoices shown;
    };
    const Case cases[] = {
        {{}, 1, 1, false, {false, true, true, 1, 1, {true, true, true}}},
        {{{"ShowSplash", "0"}, {"ShowExitPrompt", "0"}, {"ShowDDrive", "0"}},
         3, 2, true, {true, false, false, 3, 2, {true, false, true}}},
        // Stored values that select nothing: the first choice; a drive key that is no number
        // reads as its default.
        {{{"ShowCDrive", "x"}, {"ShowEDrive", "2"}}, 0, 4, false,
         {false, true, true, 1, 1, {true, true, false}}},
    };
    for (const auto& c : cases) {
        j.inner = MemorySettingsStore();
        for (const auto& [key, value] : c.settings) {
            j.inner.SaveSetting(key, value);
        }
        run.runPriority = static_cast<std::int16_t>(c.runPriority);
        run.afterDefragAction = static_cast<std::int16_t>(c.afterAction);
        j.startupSet = c.startup;
        form.MarkOptionsChanged();
        form.Load(cde);
        const OptionsChoices& got = form.Choices();
        EXPECT_EQ(got.runAtStartup, c.shown.runAtStartup);
        EXPECT_EQ(got.showSplash, c.shown.showSplash);
        EXPECT_EQ(got.showExitPrompt, c.shown.showExitPrompt);
        EXPECT_EQ(got.priority, c.shown.priority);
        EXPECT_EQ(got.afterDefragAction, c.shown.afterDefragAction);
        EXPECT_EQ(got.drives, c.shown.drives);
        EXPECT_FALSE(form.Changed());
        EXPECT_STREQ(form.CancelCaption(), "Close");
    }
    EXPECT_EQ(form.FixedDriveCount(), 2);
}

TEST_F(OptionsFormTest, ADriveThatIsNotReadyShowsUnticked) {
    form.Load({Volume('c', false), Volume('d'), Volume('x', false)});
    EXPECT_EQ(form.Choices().drives, (std::vector<bool>{false, true, false}));
}

TEST_F(OptionsFormTest, SavesInOrderAndTheNextRunTakesTheTickedDrives) {
    run.selectedDrives = {"c:", "d:", "e:"};
    form.Load(cde);
    OptionsChoices& c = form.Choices();
    c.runAtStartup = true;
    c.showSplash = false;
    c.priority = 3;
    c.afterDefragAction = 2;
    c.drives = {true, false, true};
    form.MarkOptionsChanged();
    EXPECT_STREQ(form.CancelCaption(), "Cancel");
    ASSERT_EQ(form.Save(), SaveOutcome::Saved);
    EXPECT_EQ(j.log, (std::vector<std::string>{"startup on", "ShowSplash=0", "ShowExitPrompt=1",
                                               "RunPriority=3", "AfterDefragAction=2",
                                               "ShowCDrive=1", "ShowDDrive=0", "ShowEDrive=1"}));
    EXPECT_EQ(run.runPriority, 3);
    EXPECT_EQ(run.afterDefragAction, 2);
    EXPECT_EQ(run.selectedDrives, (std::vector<std::string>{"c:", "e:"}));
    EXPECT_FALSE(form.Changed());

    j.log.clear();
    c.runAtStartup = false;
    c.drives = {false, true, false};
    form.Save();
    EXPECT_EQ(j.log.front(), "startup off");
    EXPECT_EQ(run.selectedDrives, (std::vector<std::string>{"d:"}));
}

TEST_F(OptionsFormTest, NoDriveWarningOnlyAtTheFirstSaveOfTheProgramRun) {
    form.Load(cde);
    form.Choices().drives = {false, false, false};
    form.MarkOptionsChanged();
    EXPECT_EQ(form.Save(), SaveOutcome::NoDriveWarning);
    EXPECT_TRUE(j.log.empty()) << "nothing is written after the warning";
    EXPECT_TRUE(form.Changed());

    form.Load(cde);  // the dialog closed and opened again: the check stays done
    form.Choices().drives = {false, false, false};
    EXPECT_EQ(form.Save(), SaveOutcome::Saved);
    EXPECT_TRUE(run.selectedDrives.empty());

    OptionsForm other{j, run, j};  // a check with a drive ticked counts as done too
    other.Load(cde);
    other.Choices().drives = {false, false, true};
    EXPECT_EQ(other.Save(), SaveOutcome::Saved);
    other.Choices().drives = {false, false, false};
    EXPECT_EQ(other.Save(), SaveOutcome::Saved);
}

TEST_F(OptionsFormTest, FirstRunAndVolumeChangesLeaveItChanged) {
    form.Load(cde);
    form.TickRunAtStartup();
    EXPECT_TRUE(form.Choices().runAtStartup);
    EXPECT_TRUE(form.Changed());

    j.inner.SaveSetting("ShowFDrive", "0");
    form.Load({Volume('c'), Volume('d', false)});
    form.Choices().drives[0] = false;  // unsaved, kept through the refresh
    form.RefreshDriveRows({Volume('c'), Volume('d', false), Volume('e'), Volume('f')});
    EXPECT_EQ(form.Rows().size(), 4u);
    EXPECT_EQ(form.Choices().drives, (std::vector<bool>{false, true, true, false}));
    EXPECT_TRUE(form.Changed());
}

TEST(OptionsLayout, EachFurtherDriveAddsARowAndGrowsTheForm) {
    EXPECT_EQ(OptionsFormHeight(0), kOptionsBaseFormHeight);
    EXPECT_EQ(OptionsFormHeight(2), kOptionsBaseFormHeight + 600);
    EXPECT_EQ(std::vector<int>({DriveRowTop(0), DriveRowTop(1), DriveRowTop(2)}),
              std::vector<int>({3840, 4140, 4440}));
    EXPECT_EQ(SaveButtonTop(6000), 5070);
    const RunningMessagePlace panel = PlaceRunningMessage(5000);
    EXPECT_EQ(panel.top, 3795);
    EXPECT_EQ(panel.height, 1145);
    EXPECT_EQ(panel.labelTop, 310);
}

}  // namespace
}  // namespace qm
