#include "core/app/setting_conversions.h"

#include <cctype>
#include <limits>

#include "core/common/text_scan.h"

namespace qm {

namespace {

constexpr std::int64_t kLargestNumber = 1'000'000'000'000'000;  // 10^15

struct Decimal {
    bool negative{};
    std::int64_t whole{};  // integer part, at most kLargestNumber
    int firstFraction{};   // first digit after the point
    bool restNonZero{};    // any non-zero digit after the first fraction digit
};

std::optional<Decimal> ParseDecimal(std::string_view untrimmed) {
    std::string_view text = TrimBlanks(untrimmed, " \t");
    Decimal d;
    if (text.starts_with('-') || text.starts_with('+')) {
        d.negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t wholeEnd = RunEnd(text, 0, kDecimalDigits);
    for (std::size_t i = 0; i < wholeEnd; ++i) {
        d.whole = d.whole * 10 + (text[i] - '0');
        if (d.whole > kLargestNumber) {
            return std::nullopt;
        }
    }
    std::size_t end = wholeEnd;
    std::string_view fraction;
    if (text.substr(wholeEnd).starts_with('.')) {
        end = RunEnd(text, wholeEnd + 1, kDecimalDigits);
        fraction = text.substr(wholeEnd + 1, end - wholeEnd - 1);
    }
    if (wholeEnd + fraction.size() == 0 || end != text.size()) {
        return std::nullopt;
    }
    if (!fraction.empty()) {
        d.firstFraction = fraction.front() - '0';
        d.restNonZero = fraction.find_first_not_of('0', 1) != std::string_view::npos;
    }
    return d;
}

template <typename T>
std::optional<T> ParseInRange(std::string_view text) {
    const auto value = ParseWholeNumber(text);
    if (!value) {
        return std::nullopt;
    }
    if (*value < std::numeric_limits<T>::min() || *value > std::numeric_limits<T>::max()) {
        return std::nullopt;
    }
    return static_cast<T>(*value);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<std::int64_t> ParseWholeNumber(std::string_view text) {
    const auto d = ParseDecimal(text);
    if (!d) {
        return std::nullopt;
    }
    std::int64_t magnitude = d->whole;
    const bool pastHalf = d->firstFraction > 5 || (d->firstFraction == 5 && d->restNonZero);
    const bool exactHalf = d->firstFraction == 5 && !d->restNonZero;
    if (pastHalf || (exactHalf && magnitude % 2 != 0)) {
        ++magnitude;
    }
    return d->negative ? -magnitude : magnitude;
}

bool NumberTextEquals(std::string_view text, std::int64_t value) {
    const auto d = ParseDecimal(text);
    if (!d) {
        return false;
    }
    return d->firstFraction == 0 && !d->restNonZero &&
           (d->negative ? -d->whole : d->whole) == value;
}

std::optional<std::int16_t> ParseInt16(std::string_view text) {
    return ParseInRange<std::int16_t>(text);
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    return ParseInRange<std::int32_t>(text);
}

std::optional<bool> ParseBoolean(std::string_view text) {
    const std::string_view trimmed = TrimBlanks(text, " \t");
    if (EqualsNoCase(trimmed, "True")) {
        return true;
    }
    if (EqualsNoCase(trimmed, "False")) {
        return false;
    }
    const auto d = ParseDecimal(trimmed);
    if (!d) {
        return std::nullopt;
    }
    return d->whole != 0 || d->firstFraction != 0 || d->restNonZero;
}

std::string FormatBoolean(bool value) {
    return value ? "True" : "False";
}

std::string FormatDateSetting(const DateTextFormat& format, DateTime value) {
    std::string text = format.FormatShortDate(value);
    if (value.HasTime()) {
        text += ' ';
        text += format.FormatTime(value);
    }
    return text;
}

std::string FitToWidth(std::string_view text, std::size_t width, char pad) {
    std::string fitted(text.substr(0, width));
    fitted.resize(width, pad);
    return fitted;
}

}  // namespace qm
