// A run's progress in the icon's tip, read from the shell's own tooltip of the icon, while the
// stand-in defragmenter prints "Defragmentation: N% complete...\r" every half second.
#include <gtest/gtest.h>

#include "e2e/harness/app_process.h"
#include "e2e/harness/windows.h"
#include "win32/app/tray_menu.h"

namespace qm::e2e {

TEST(E2eProgress, TheTipRisesDuringARunAndIsPlainAgainAtItsEnd) {
    TrayApp app = StartInTray({{L"ShowCDrive", L"1"}, {L"ShowZDrive", L"0"}},
                              {L"QM_DOUBLE_SECONDS=9", L"QM_DOUBLE_PROGRESS=1"});
    ASSERT_NE(app.menu, nullptr) << "the program did not reach the tray";
    std::vector<int> seen;  // the tip's percentages, each higher than the last
    const auto tipIsPlain = [&] {
        bool plain = false;
        for (const std::wstring& tip : ShellBalloonTexts(true)) {
            plain = plain || tip == L"Quillmere";
            if (tip.starts_with(L"Quillmere - C: ") && tip.ends_with(L"% - Defragmentation") &&
                (seen.empty() || std::stoi(tip.substr(15)) > seen.back())) {
                seen.push_back(std::stoi(tip.substr(15)));
            }
        }
        return plain;
    };
    ::PostMessageW(app.menu, WM_COMMAND, win::kCmdDefrag, 0);
    EXPECT_TRUE(WaitUntil([&] { return tipIsPlain(), seen.size() >= 3; }, 20000));
    EXPECT_TRUE(WaitUntil(tipIsPlain, 20000)) << "the tip kept the progress after the run";
}

}  // namespace qm::e2e
