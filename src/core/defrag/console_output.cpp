#include "core/defrag/console_output.h"

#include <algorithm>
#include <charconv>

namespace qm {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

constexpr char32_t kReplacement = 0xFFFD;

bool IsHigh(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLow(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Where a cut before `at` leaves whole UTF-8 characters: back over continuation bytes.
std::size_t CharacterStart(std::string_view text, std::size_t at) {
    while (at > 0 && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
        --at;
    }
    return at;
}

}  // namespace

std::string Utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    char16_t high = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (high != 0) {
            if (IsLow(unit)) {
                AppendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                high = 0;
                continue;
            }
            AppendUtf8(out, kReplacement);
            high = 0;
        }
        if (IsHigh(unit)) {
            high = unit;
        } else {
            AppendUtf8(out, IsLow(unit) ? kReplacement : unit);
        }
    }
    if (high != 0) {
        AppendUtf8(out, kReplacement);
    }
    return out;
}

std::string ConsoleOutputDecoder::Feed(std::string_view bytes) {
    pending_.append(bytes);
    if (encoding_ == Encoding::kUndecided) {
        if (pending_.find('\0') != std::string::npos) {
            encoding_ = Encoding::kUtf16;
        } else if (pending_.find('\n') != std::string::npos || pending_.size() >= kDecideAfter) {
            encoding_ = Encoding::kOem;
        } else {
            return {};
        }
    }
    return encoding_ == Encoding::kUtf16 ? DecodeUtf16(false) : DecodeOem(false);
}

std::string ConsoleOutputDecoder::Finish() {
    if (encoding_ == Encoding::kUndecided) {
        encoding_ = pending_.find('\0') != std::string::npos ? Encoding::kUtf16 : Encoding::kOem;
    }
    return encoding_ == Encoding::kUtf16 ? DecodeUtf16(true) : DecodeOem(true);
}

std::string ConsoleOutputDecoder::DecodeUtf16(bool final) {
    std::string whole;
    if (highSurrogate_ != 0) {
        whole.push_back(static_cast<char>(highSurrogate_ & 0xFF));
        whole.push_back(static_cast<char>(highSurrogate_ >> 8));
        highSurrogate_ = 0;
    }
    whole += pending_;
    // An odd byte waits for its partner; at the end it is dropped.
    std::size_t usable = whole.size() - whole.size() % 2;
    pending_ = final ? std::string() : whole.substr(usable);
    if (!final && usable >= 2) {
        const auto last = static_cast<char16_t>(static_cast<unsigned char>(whole[usable - 2]) |
                                                static_cast<unsigned char>(whole[usable - 1]) << 8);
        if (IsHigh(last)) {
            highSurrogate_ = last;
            usable -= 2;
        }
    }
    return Utf16LeToUtf8(std::string_view(whole).substr(0, usable));
}

std::string ConsoleOutputDecoder::DecodeOem(bool final) {
    std::size_t cut = pending_.size();
    if (!final && pending_.size() < kMaxPendingOem) {
        const std::size_t lineEnd = pending_.find_last_of("\r\n");
        cut = lineEnd == std::string::npos ? 0 : lineEnd + 1;
    }
    if (cut == 0) {
        return {};
    }
    const std::string lines = pending_.substr(0, cut);
    pending_.erase(0, cut);
    return oem_ ? oem_(lines) : lines;
}

void OutputWatch::Feed(std::string_view text) {
    if (text.empty()) {
        return;
    }
    total_ += text.size();
    Scan(text);
    if (head_.size() < kKeptHead) {
        std::size_t take = std::min(text.size(), kKeptHead - head_.size());
        if (take < text.size()) {
            take = CharacterStart(text, take);
        }
        head_.append(text.substr(0, take));
        text.remove_prefix(take);
    }
    tail_.append(text);
    if (tail_.size() > 2 * kKeptTail) {
        tail_.erase(0, tail_.size() - kKeptTail);
    }
}

void OutputWatch::Scan(std::string_view text) {
    // "(0x" + 8 digits + ")" is 12 characters: the last 11 of a piece may start one.
    constexpr std::size_t kCodeLength = 12;
    std::string window = carry_;
    window.append(text);
    for (std::size_t at = window.find("(0x"); at != std::string::npos;
         at = window.find("(0x", at + 1)) {
        if (at + kCodeLength > window.size() || window[at + kCodeLength - 1] != ')') {
            continue;
        }
        std::uint32_t code{};
        const char* digits = window.data() + at + 3;
        if (std::from_chars(digits, digits + 8, code, 16).ptr != digits + 8 ||
            (code & 0x80000000u) == 0) {
            continue;
        }
        if (codes_.size() < kMaxCodes &&
            std::find(codes_.begin(), codes_.end(), code) == codes_.end()) {
            codes_.push_back(code);
        }
    }
    const std::size_t keep = std::min(window.size(), kCodeLength - 1);
    carry_ = window.substr(window.size() - keep);
}

std::string OutputWatch::Kept() const {
    if (total_ <= kKeptHead + kKeptTail) {
        return head_ + tail_;
    }
    std::string_view tail = tail_;
    tail.remove_prefix(CharacterStart(tail, tail.size() - kKeptTail));
    const std::uint64_t omitted = total_ - head_.size() - tail.size();
    return head_ + "\r\n[... " + std::to_string(omitted) + " bytes left out ...]\r\n" +
           std::string(tail);
}

}  // namespace qm
