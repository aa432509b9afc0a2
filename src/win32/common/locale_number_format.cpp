#include "win32/common/locale_number_format.h"

#include <windows.h>

#include <string>
#include <vector>

#include "win32/common/text.h"

namespace qm::win {
namespace {

std::wstring LocaleText(LCTYPE what) {
    wchar_t buffer[32] = {};
    const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, buffer, 32);
    return length > 1 ? std::wstring(buffer, static_cast<size_t>(length - 1)) : std::wstring();
}

}  // namespace

NumberSeparators UserNumberSeparators() {
    NumberSeparators format;
    if (const std::wstring decimal = LocaleText(LOCALE_SDECIMAL); !decimal.empty()) {
        format.decimal = Narrow(decimal);
    }
    format.group = Narrow(LocaleText(LOCALE_STHOUSAND));  // may be empty: no separator
    // "3;0" groups in threes throughout, "3;2;0" three then twos, "3" only the first three.
    std::vector<int> sizes;
    for (wchar_t c : LocaleText(LOCALE_SGROUPING)) {
        if (c >= L'0' && c <= L'9') {
            sizes.push_back(c - L'0');
        }
    }
    if (!sizes.empty()) {
        // A final 0 repeats the group before it: "3;0" threes throughout, "3;2;0" three then
        // twos; "3" groups only the first three digits.
        const bool repeats = sizes.size() >= 2 && sizes.back() == 0;
        if (repeats) {
            sizes.pop_back();
        }
        format.firstGroup = sizes[0];
        format.nextGroups = sizes.size() >= 2 ? sizes[1] : (repeats ? sizes[0] : 0);
    }
    return format;
}

}  // namespace qm::win
