// The run history window's rows, tail, clipboard text and place on the screen.
#include <gtest/gtest.h>

#include "core/defrag/run_history.h"
#include "support/fakes.h"

namespace qm::test {
namespace {

TEST(RunHistory, ListsNewestFirstWithNotesAndDamagedLines) {
    const auto rows = HistoryRows(
        "2026-12-06 21:30:05\tC:\tdefrag c: /U\t0:12:03\tok\r\n\r\n"
        "2026-12-07 21:30:00\t-\t-\t-\tcaught up\r\n2026-13-07 21:30:00\tD:\tx\t0:00:01\tok\r\n"
        "2026-12-08 21:30:01\tE:\tdefrag e:\t0:00:00\tskipped: solid-state drive");
    UsDateTextFormat us;
    EXPECT_EQ(
        HistoryTsv(rows, {0, 1, 2, 3, 9}, us),
        "12/8/2026 9:30:01 PM\tE:\t0:00:00\tskipped: solid-state drive\tdefrag e:\r\n"
        "\t\t\tThis line of the log could not be read\t2026-13-07 21:30:00 D: x 0:00:01 ok\r\n"
        "12/7/2026 9:30:00 PM\t\t\tcaught up\t\r\n"
        "12/6/2026 9:30:05 PM\tC:\t0:12:03\tok\tdefrag c: /U\r\n");
    EXPECT_EQ(rows[0].warning + rows[1].warning * 2 + rows[2].warning * 4 + rows[3].warning * 8, 3);
    EXPECT_TRUE(HistoryRows("").empty());
    EXPECT_EQ(HistoryRows("a\tb\tc\t9:99:99\tok").size(), 1u);
}

TEST(RunHistory, ReadsTheLastBytesOfBothLogsFromAWholeLine) {
    MemoryLogFolder folder;
    folder.files = {{"runs.old.log", "old1\r\nold2\r\n"}, {"runs.log", "new1\r\nnew2\r\n"}};
    const std::pair<std::uint64_t, const char*> cases[] = {
        {100, "old1\r\nold2\r\nnew1\r\nnew2\r\n"},
        {18, "old2\r\nnew1\r\nnew2\r\n"},
        {12, "new1\r\nnew2\r\n"},
        {8, "new2\r\n"},
        {3, ""}};
    for (const auto& [limit, text] : cases) {
        EXPECT_EQ(ReadHistoryText(folder, limit), text) << limit;
    }
}

TEST(RunHistory, KeepsItsPlaceOnlyWhenItParsesAndShowsOnAMonitor) {
    const std::vector<Rect> monitors{{0, 0, 1280, 800}, {-1920, 0, 0, 1080}};
    const Rect work{0, 0, 1280, 760}, centred{280, 180, 1000, 580};
    const std::tuple<const char*, unsigned, Rect> cases[] = {
        {"10,20,300,200", 96, {10, 20, 310, 220}},
        {"-1900,5,300,200", 144, {-1900, 5, -1450, 305}},
        {"1279,0,300,200", 96, {1279, 0, 1579, 200}}};
    for (const auto& [text, dpi, rect] : cases) {
        EXPECT_EQ(HistoryWindowRect(ParseWindowPlace(text), monitors, work, dpi), rect) << text;
    }
    // Off every monitor, unreadable, or narrower than the window may be: centred in the work area.
    for (const char* text : {"1280,0,300,200", "0,-200,300,200", "1,2,3", "1,2,300,200,5",
                             "a,2,300,200", "1,2,50,200", ""}) {
        EXPECT_EQ(HistoryWindowRect(ParseWindowPlace(text), monitors, work, 96), centred) << text;
    }
    EXPECT_EQ(FormatWindowPlace({-5, 7, 640, 480}), "-5,7,640,480");
}

}  // namespace
}  // namespace qm::test
