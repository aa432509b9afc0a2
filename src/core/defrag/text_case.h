#pragma once

#include <string>
#include <string_view>

namespace qm {

// Lower-cases A-Z only: executable names and drive letters are compared this way, and UTF-8
// bytes outside ASCII must pass through untouched.
inline std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

}  // namespace qm
