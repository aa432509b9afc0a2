// A defragmenter's output as it arrives in pieces: its encoding, the codes it names however
// long it is, and what is kept of it.
#include <gmock/gmock.h>

#include "core/defrag/console_output.h"
#include "support/fakes.h"

namespace qm::test {
namespace {

std::string Utf16(std::u16string_view text) {
    std::string bytes;
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// Feeds `bytes` in pieces of `step` bytes and returns all the text.
std::string Decode(ConsoleOutputDecoder& decoder, std::string_view bytes, std::size_t step) {
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += step) {
        text += decoder.Feed(bytes.substr(at, step));
    }
    return text + decoder.Finish();
}

TEST(ConsoleOutput, WideTextIsToldByItsNulBytesAndSurvivesAnySeam) {
    // A Russian refusal as the defragmenter writes it to a pipe, with a character outside the
    // basic plane for the surrogate pair.
    const std::u16string message = u"Отказано (0x89000024)\r\n\U0001F4BE";
    const std::string expected = "Отказано (0x89000024)\r\n\xF0\x9F\x92\xBE";
    for (const std::size_t step : {1u, 2u, 3u, 7u, 64u}) {
        ConsoleOutputDecoder decoder(nullptr);
        EXPECT_EQ(Decode(decoder, Utf16(message), step), expected) << step;
    }
    ConsoleOutputDecoder odd(nullptr);  // an interrupted write leaves one byte over
    EXPECT_EQ(Decode(odd, Utf16(u"ok") + "X", 5), "ok");
}

TEST(ConsoleOutput, OemTextGoesToTheConverterInWholeLines) {
    Strings converted;
    ConsoleOutputDecoder decoder([&](std::string_view lines) {
        converted.emplace_back(lines);
        return "<" + std::string(lines) + ">";
    });
    EXPECT_EQ(decoder.Feed("Analys"), "") << "undecided and unfinished";
    EXPECT_EQ(decoder.Feed("is\r\nDef"), "<Analysis\r\n>");
    EXPECT_EQ(decoder.Feed("rag"), "");
    EXPECT_EQ(decoder.Feed(std::string(5000, '.')), "<Defrag" + std::string(5000, '.') + ">")
        << "a line never waits past 4 KB";
    EXPECT_EQ(decoder.Feed("x"), "");
    EXPECT_EQ(decoder.Finish(), "<x>");
    EXPECT_EQ(converted.size(), 3u);
}

TEST(OutputWatch, CodesAreFoundAcrossPiecesAndTheKeptTextIsItsHeadAndTail) {
    OutputWatch watch;
    for (const char* piece : {"Error (0x8007", "0422) then (0x89000024) (0x00000005) ",
                              "(0x89000024) (0xFFFFFFFF)(0x8900002G) (0x1234567)"}) {
        watch.Feed(piece);
    }
    EXPECT_THAT(watch.Codes(), testing::ElementsAre(0x80070422u, 0x89000024u, 0xFFFFFFFFu));

    // Past 256 KB the middle goes, cut between whole characters.
    OutputWatch progress;
    const std::string line = "Défragmentation : 43 %\r";  // 24 bytes, one of two bytes
    for (int i = 0; i < 12000; ++i) {
        progress.Feed(line);
    }
    progress.Feed("(0x80070015)");
    const std::string kept = progress.Kept();
    EXPECT_EQ(progress.Codes(), std::vector<std::uint32_t>{0x80070015u});
    EXPECT_TRUE(kept.starts_with(line) && kept.ends_with(" %\r(0x80070015)"));
    const std::size_t marker = kept.find("\r\n[... ");
    EXPECT_EQ(kept.substr(marker, 34), "\r\n[... 25868 bytes left out ...]\r\n");
    EXPECT_LE(kept.size(), OutputWatch::kKeptHead + OutputWatch::kKeptTail + 40);
    EXPECT_EQ(kept.find("\xA9\r\n[..."), std::string::npos) << "no character cut in two";
}

}  // namespace
}  // namespace qm::test
