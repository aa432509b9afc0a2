// Samples of the shape the defragmenter of Windows 7 and later prints with /U, written for these
// tests (English, German, French with its no-break spaces), not captured from a system.
#include <gtest/gtest.h>

#include "core/defrag/progress.h"

namespace qm::test {
namespace {

TEST(Progress, TheLatestLineInPiecesGivesThePercentageAndTheTipKeepsTo63Units) {
    const struct {
        std::vector<std::string> pieces;
        std::optional<DefragProgress> latest;
    } cases[] = {
        {{"Defragmentation: 43% complete...\r"}, DefragProgress{43, "Defragmentation"}},
        {{"Defragmentierung: 43 % abgeschlossen...\r"}, DefragProgress{43, "Defragmentierung"}},
        {{"Défragmentation\xC2\xA0: 4", "3\xC2\xA0% effectué...\r\n"},
         DefragProgress{43, "Défragmentation"}},
        {{"Analysis: 10% complete...\rPass 2: %100 ", "complete...\rPass 2: 7%"},
         DefragProgress{100, "Pass 2"}},
        {{"Done: 101% \rDone: -5%\n50% complete\rErr (0x89000024)\r",
          std::string(600, '9') + ": 1%\r"},
         std::nullopt},
    };
    for (const auto& c : cases) {
        ProgressReader reader;
        for (const std::string& piece : c.pieces) {
            reader.Feed(piece);
        }
        EXPECT_EQ(reader.Latest(), c.latest) << c.pieces.front();
    }
    EXPECT_EQ(ProgressTip("C:", {43, "Defragmentation"}), "Quillmere - C: 43% - Defragmentation");
    // 21 units before the pass name; a surrogate pair that would end at unit 64 is left out.
    EXPECT_EQ(ProgressTip("C:", {43, std::string(41, 'x') + "\xF0\x9F\x92\xBE"}),
              "Quillmere - C: 43% - " + std::string(41, 'x'));
    EXPECT_EQ(CutToUtf16Units("é€ab", 3), "é€a");
    EXPECT_EQ(ProgressBalloonLine("C:", DefragProgress{43, "x"}), "Defragmenting drive C: - 43%");
}

}  // namespace
}  // namespace qm::test
