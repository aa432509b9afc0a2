#include "win32/common/locale_number_format.h"

#include <windows.h>

#include <string>

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
    if (const std::wstring grouping = LocaleText(LOCALE_SGROUPING); !grouping.empty()) {
        format.grouping = Narrow(grouping);
    }
    return format;
}

}  // namespace qm::win
