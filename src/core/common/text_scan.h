#pragma once

#include <algorithm>
#include <string_view>

namespace qm {

// Where the run of characters from `chars` that starts at `from` ends: at the first other
// character, or at the end of the text.
inline std::size_t RunEnd(std::string_view text, std::size_t from, std::string_view chars) {
    return std::min(text.find_first_not_of(chars, from), text.size());
}

inline constexpr std::string_view kDecimalDigits = "0123456789";

// The text without the blanks (spaces unless others are named) at either end.
inline std::string_view TrimBlanks(std::string_view text, std::string_view blanks = " ") {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace qm
