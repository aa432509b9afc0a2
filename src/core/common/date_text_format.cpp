#include "core/common/date_text_format.h"

#include <cctype>

namespace qm {

namespace {

// Reads a run of 1..maxDigits digits at `pos`; nothing when there is none or it is longer.
std::optional<int> ReadDigits(std::string_view text, std::size_t& pos, std::size_t maxDigits,
                              std::size_t* digitCount = nullptr) {
    const std::size_t start = pos;
    int value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        if (pos - start == maxDigits) {
            return std::nullopt;
        }
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos == start) {
        return std::nullopt;
    }
    if (digitCount != nullptr) {
        *digitCount = pos - start;
    }
    return value;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

void SkipBlanks(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string UsDateTextFormat::FormatShortDate(DateTime moment) const {
    const CivilDate d = moment.Date();
    return std::to_string(d.month) + "/" + std::to_string(d.day) + "/" + std::to_string(d.year);
}

std::string UsDateTextFormat::FormatTime(DateTime moment) const {
    const ClockTime t = moment.Time();
    const int hour = t.hour % 12 == 0 ? 12 : t.hour % 12;
    std::string text = std::to_string(hour) + ":";
    text += static_cast<char>('0' + t.minute / 10);
    text += static_cast<char>('0' + t.minute % 10);
    text += ":";
    text += static_cast<char>('0' + t.second / 10);
    text += static_cast<char>('0' + t.second % 10);
    text += t.hour < 12 ? " AM" : " PM";
    return text;
}

std::optional<DateTime> UsDateTextFormat::ParseDateText(std::string_view text) const {
    std::size_t pos = 0;
    SkipBlanks(text, pos);
    const auto month = ReadDigits(text, pos, 2);
    if (!month || !Expect(text, pos, '/')) {
        return std::nullopt;
    }
    const auto day = ReadDigits(text, pos, 2);
    if (!day || !Expect(text, pos, '/')) {
        return std::nullopt;
    }
    std::size_t yearDigits = 0;
    auto year = ReadDigits(text, pos, 4, &yearDigits);
    if (!year) {
        return std::nullopt;
    }
    if (yearDigits <= 2) {
        *year += *year < 30 ? 2000 : 1900;
    }

    int hour = 0;
    int minute = 0;
    int second = 0;
    SkipBlanks(text, pos);
    if (pos < text.size()) {
        const auto h = ReadDigits(text, pos, 2);
        if (!h || !Expect(text, pos, ':')) {
            return std::nullopt;
        }
        const auto m = ReadDigits(text, pos, 2);
        if (!m) {
            return std::nullopt;
        }
        std::optional<int> s = 0;
        if (Expect(text, pos, ':')) {
            s = ReadDigits(text, pos, 2);
            if (!s) {
                return std::nullopt;
            }
        }
        hour = *h;
        minute = *m;
        second = *s;
        SkipBlanks(text, pos);
        if (pos < text.size()) {
            const std::string_view marker = text.substr(pos, 2);
            const bool am = EqualsNoCase(marker, "AM");
            const bool pm = EqualsNoCase(marker, "PM");
            if ((!am && !pm) || hour < 1 || hour > 12) {
                return std::nullopt;
            }
            hour = hour % 12 + (pm ? 12 : 0);
            pos += 2;
            SkipBlanks(text, pos);
        }
        if (pos != text.size()) {
            return std::nullopt;
        }
    }
    return DateTime::FromParts(*year, *month, *day, hour, minute, second);
}

}  // namespace qm
