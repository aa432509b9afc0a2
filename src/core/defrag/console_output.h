#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Turns what a console program writes into a pipe into UTF-8, piece by piece as it arrives.
// The bytes decide the encoding: a program that writes wide text (the defragmenter of later
// systems, in every language) puts a NUL byte into its first line, which OEM text never holds;
// anything else is the console's OEM code page, which only the system can convert.
//
// Nothing is lost at the seams between pieces: an odd byte of UTF-16, half a surrogate pair and
// an unfinished OEM line (a double-byte character may straddle the seam) wait for the next one.
class ConsoleOutputDecoder {
  public:
    // Converts whole lines of OEM text to UTF-8.
    using OemToUtf8 = std::function<std::string(std::string_view)>;
    explicit ConsoleOutputDecoder(OemToUtf8 oem) : oem_(std::move(oem)) {}

    // The text that the new bytes complete.
    std::string Feed(std::string_view bytes);
    // What is still held back, once the program has ended.
    std::string Finish();

  private:
    enum class Encoding { kUndecided, kUtf16, kOem };
    // OEM text waits for its line end, but never for longer than this.
    static constexpr std::size_t kMaxPendingOem = 4096;
    // Undecided bytes without a NUL or a line end: taken as OEM from here on.
    static constexpr std::size_t kDecideAfter = 512;

    std::string DecodeUtf16(bool final);
    std::string DecodeOem(bool final);

    OemToUtf8 oem_;
    Encoding encoding_ = Encoding::kUndecided;
    std::string pending_;
    char16_t highSurrogate_{};
};

// UTF-16 code units (little-endian bytes) as UTF-8; broken pairs become U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);

// Watches a defragmenter's output, however long, with bounded memory: the error codes it
// names, "(0x" and eight hexadecimal digits and ")", wherever they fall in the pieces, and the
// part of the text that is kept for the drive's output file, its beginning and its end.
class OutputWatch {
  public:
    static constexpr std::size_t kKeptHead = 64 * 1024;
    static constexpr std::size_t kKeptTail = 192 * 1024;
    // Distinct codes remembered, in the order of their first appearance.
    static constexpr std::size_t kMaxCodes = 16;

    void Feed(std::string_view text);

    // Every "(0xHHHHHHHH)" with its top bit set, first appearance first.
    const std::vector<std::uint32_t>& Codes() const { return codes_; }
    // The kept text: all of it when it was short, else its head, a line that says how much was
    // left out, and its tail.
    std::string Kept() const;
    std::uint64_t TotalBytes() const { return total_; }

  private:
    void Scan(std::string_view text);

    std::vector<std::uint32_t> codes_;
    std::string carry_;  // the end of the last piece, which may hold the start of a code
    std::string head_;
    std::string tail_;
    std::uint64_t total_{};
};

}  // namespace qm
