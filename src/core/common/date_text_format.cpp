#include "core/common/date_text_format.h"

#include <cctype>

#include "core/common/text_scan.h"

namespace qm {

namespace {

// Reads a run of 1..maxDigits digits at `pos`; nothing when there is none or it is longer.
std::optional<int> ReadDigits(std::string_view text, std::size_t& pos, std::size_t maxDigits) {
    const std::size_t end = RunEnd(text, pos, kDecimalDigits);
    if (end == pos || end - pos > maxDigits) {
        return std::nullopt;
    }
    int value = 0;
    for (; pos < end; ++pos) {
        value = value * 10 + (text[pos] - '0');
    }
    return value;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (!text.substr(pos).starts_with(c)) {
        return false;
    }
    ++pos;
    return true;
}

void SkipBlanks(std::string_view text, std::size_t& pos) {
    pos = RunEnd(text, pos, " \t");
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
    const std::size_t yearStart = pos;
    auto year = ReadDigits(text, pos, 4);
    if (!year) {
        return std::nullopt;
    }
    if (pos - yearStart <= 2) {
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
