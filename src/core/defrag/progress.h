#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// How far the defragmenter is with a drive, as it prints it while it works.
struct DefragProgress {
    int percent = 0;   // 0 to 100
    std::string pass;  // "Defragmentation", in the system's language; may be empty

    bool operator==(const DefragProgress&) const = default;
};

// One line of the defragmenter's progress: the pass name, a colon and a percentage,
// "Defragmentation: 43% complete...", "Défragmentation : 43 % effectué...". The number is 0 to
// 100 in ASCII digits beside a percent sign, before or after it, with or without a space
// (an ordinary or a no-break one); the pass name is the text before the first colon. A line of
// any other shape is nothing.
std::optional<DefragProgress> ParseProgressLine(std::string_view line);

// Follows the progress through the text as it arrives, in pieces. The defragmenter of Windows 7
// and later rewrites its line in place with carriage returns, so a line ends at CR or at LF;
// the unfinished end of a piece waits for the next one.
class ProgressReader {
  public:
    // True when a line the text completes moved the progress on.
    bool Feed(std::string_view text);
    const std::optional<DefragProgress>& Latest() const { return latest_; }

  private:
    // A line longer than this is no progress line; the rest of it is skipped.
    static constexpr std::size_t kMaxLine = 512;

    std::string line_;
    bool overlong_{};
    std::optional<DefragProgress> latest_;
};

// The tray icon's tip with no progress to show.
inline constexpr const char* kPlainTip = "Quillmere";
// The shell keeps 63 UTF-16 units of a tip (and its terminating NUL).
inline constexpr std::size_t kMaxTipUnits = 63;

// UTF-8 text cut so that it takes at most `units` UTF-16 units; a character is never cut in
// two (a character outside the basic plane takes two units).
std::string CutToUtf16Units(std::string_view text, std::size_t units);
// "Quillmere - C: 43% - Defragmentation", cut to what the shell keeps.
std::string ProgressTip(const std::string& drive, const DefragProgress& progress);
// The status balloon's run line: "Defragmenting drive C: - 43%", or without the percentage
// until there is one.
std::string ProgressBalloonLine(const std::string& drive,
                                const std::optional<DefragProgress>& progress);

}  // namespace qm
