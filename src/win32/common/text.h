#pragma once

#include <string>
#include <string_view>

namespace qm::win {

// The core speaks UTF-8; Windows speaks UTF-16. Invalid sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace qm::win
