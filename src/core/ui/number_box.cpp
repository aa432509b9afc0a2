#include "core/ui/number_box.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cmath>

#include "core/common/text_scan.h"

namespace qm {

namespace {

bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

bool IsPlaceholder(char c) {
    return c == '0' || c == '#';
}

// Drops a trailing point from a text of two characters or more.
void DropTrailingPoint(std::string& text) {
    if (text.size() >= 2 && text.back() == '.') {
        text.pop_back();
    }
}

// The mask for the sign of the number, with the minus that a negative number needs.
std::string ChooseMask(std::string_view format, const RawNumber& raw, bool positiveOnly,
                       bool hasFocus) {
    const std::size_t semicolon = format.find(';');
    std::string mask(semicolon == std::string_view::npos ? format
                     : raw.nonNegative                   ? format.substr(0, semicolon)
                                                         : format.substr(semicolon + 1));
    if (positiveOnly || raw.nonNegative) {
        return mask;
    }
    const std::size_t paren = format.find('(');
    if (!hasFocus) {
        const bool signShown =
            paren != std::string_view::npos || format.find('-') != std::string_view::npos;
        return signShown ? mask : "-" + mask;
    }
    // While editing, a plain minus instead of the parentheses.
    if (paren != std::string_view::npos) {
        mask = format.substr(paren + 1);
        if (!mask.empty() && mask.back() == ')') {
            mask.pop_back();
        }
    }
    return "-" + mask;
}

}  // namespace

int MaxEntryLength(std::string_view format) {
    const std::size_t semicolon = format.find(';');
    if (semicolon == std::string_view::npos) {
        return static_cast<int>(format.size());
    }
    const std::string_view positive = format.substr(0, semicolon);
    const std::string_view negative = format.substr(semicolon + 1);
    if (negative.size() >= positive.size()) {
        return static_cast<int>(positive.size());
    }
    return static_cast<int>(negative.size()) - (negative.ends_with(')') ? 1 : 0);
}

RawNumber Unformat(std::string_view text, bool positiveOnly) {
    const std::string_view trimmed = TrimBlanks(text);
    RawNumber raw;
    bool point = false;
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        const char c = trimmed[i];
        if (IsDigit(static_cast<unsigned char>(c))) {
            raw.text += c;
        } else if (c == '.' && !point) {
            raw.text += c;
            point = true;
        } else if ((c == '-' || c == '(') && i == 0) {
            raw.text += '-';
        }
    }
    if (ParseRaw(raw.text) < 0) {
        if (positiveOnly) {
            raw.text.erase(0, 1);
        } else {
            raw.nonNegative = false;
        }
    }
    return raw;
}

// The C library's conversions rather than the C++ ones: those bring a quarter of a megabyte of
// tables into the program for these two calls. Raw numbers hold only digits, a point and a
// minus, and the program keeps the "C" locale, whose decimal point is '.'.
double ParseRaw(std::string_view raw) {
    const std::string text(raw);
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && errno != ERANGE ? value : 0;
}

std::string NumberText(double value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    // The fewest decimals that read back as the same number.
    char buffer[400];
    for (int decimals = 0; decimals <= 340; ++decimals) {
        const int length = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
        if (length <= 0 || length >= static_cast<int>(sizeof buffer)) {
            break;
        }
        if (std::strtod(buffer, nullptr) == value) {
            return std::string(buffer, static_cast<std::size_t>(length));
        }
    }
    return "0";
}

std::string FormatNumber(std::string_view text, std::string_view format, bool positiveOnly,
                         bool hasFocus) {
    const RawNumber number = Unformat(text, positiveOnly);
    std::string raw = number.text;
    std::string out = ChooseMask(format, number, positiveOnly, hasFocus);
    DropTrailingPoint(out);
    DropTrailingPoint(raw);
    const std::string mask = out;

    // The fraction: digits after the point, as far as the mask has places for them.
    const std::size_t outPoint = out.find('.');
    const std::size_t rawPoint = raw.find('.');
    if (outPoint != std::string::npos && rawPoint != std::string::npos) {
        for (std::size_t i = 1; outPoint + i < out.size() && rawPoint + i < raw.size() &&
                                IsPlaceholder(out[outPoint + i]);
             ++i) {
            out[outPoint + i] = raw[rawPoint + i];
        }
    }

    // The integer part, from the units leftwards; the mask's other characters stay.
    std::ptrdiff_t o = static_cast<std::ptrdiff_t>(std::min(outPoint, out.size())) - 1;
    std::ptrdiff_t r = static_cast<std::ptrdiff_t>(std::min(rawPoint, raw.size())) - 1;
    while (o >= 0 && r >= 0 && raw[static_cast<std::size_t>(r)] != '-') {
        char& place = out[static_cast<std::size_t>(o)];
        if (IsPlaceholder(place)) {
            place = raw[static_cast<std::size_t>(r--)];
        }
        --o;
    }

    // Leading zeros on optional places go again.
    for (std::size_t i = 0; i < out.size(); ++i) {
        if ((out[i] >= '1' && out[i] <= '9') || out[i] == '.') {
            break;
        }
        if (out[i] == '0' && mask[i] == '#') {
            out[i] = '#';
        }
    }

    // Unfilled places and the separators between them become blanks.
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == ',' && (i == 0 || out[i - 1] == '(' || out[i - 1] == ' ')) {
            out[i] = '#';
        }
        if (out[i] == '#') {
            out[i] = ' ';
        }
    }
    out = std::string(TrimBlanks(out));

    // The sign goes next to the digits.
    std::size_t sign = out.find('(');
    if (sign == std::string::npos) {
        sign = out.find('-');
    }
    if (sign != std::string::npos && std::string_view(out).substr(sign + 1).starts_with(' ')) {
        out = out[sign] + out.substr(out.find_first_not_of(' ', sign + 1));
    }
    return out;
}

NumberBoxModel::NumberBoxModel() {
    SetFormat(kNumberBoxDefaultFormat);
    text_ = FormatNumber("", format_, positiveOnly_, hasFocus_);
    lastText_ = Unformat(text_, positiveOnly_).text;
}

double NumberBoxModel::Value() const {
    return ParseRaw(Unformat(text_, positiveOnly_).text);
}

void NumberBoxModel::SetValue(double value) {
    ShowValueText(NumberText(value));
}

void NumberBoxModel::ShowValueText(std::string_view text) {
    SetText(FormatNumber(text, format_, positiveOnly_, hasFocus_));
    ApplyLimits();
}

double NumberBoxModel::LimitedValue() const {
    const double value = Value();
    if (!useLimits_) {
        return value;
    }
    return value < min_ ? min_ : value > max_ ? max_ : value;
}

void NumberBoxModel::ApplyLimits() {
    if (!useLimits_) {
        return;
    }
    const double limited = LimitedValue();
    if (limited != Value()) {
        SetText(FormatNumber(NumberText(limited), format_, positiveOnly_, hasFocus_));
    }
}

void NumberBoxModel::SetMaxValue(double value) {
    max_ = ParseRaw(Unformat(NumberText(value), positiveOnly_).text);
    if (min_ > max_) {
        max_ = kNumberBoxDefaultMax;
    }
    ApplyLimits();
}

void NumberBoxModel::SetMinValue(double value) {
    min_ = value;
    if (max_ < min_) {
        min_ = 0;
    }
    ApplyLimits();
}

void NumberBoxModel::SetUseMaxMinValues(bool value) {
    useLimits_ = value;
    ApplyLimits();
}

void NumberBoxModel::SetFormat(std::string_view format) {
    format_ = std::string(format);
    maxLength_ = MaxEntryLength(format_);
}

void NumberBoxModel::SetPositiveOnly(bool value) {
    // Read before the flag changes: with it, the minus no longer counts.
    const bool negative = Value() < 0;
    positiveOnly_ = value;
    if (!value) {
        return;
    }
    if (max_ < 0) {
        max_ = kNumberBoxDefaultMax;
    }
    if (min_ < 0) {
        min_ = 0;
    }
    if (negative) {
        SetValue(0);
    }
}

KeyVerdict NumberBoxModel::KeyPress(char32_t key, bool wholeTextSelected, bool caretAtStart) const {
    if (locked_) {
        return KeyVerdict::kSwallow;
    }
    const bool full = maxLength_ != 0 && !wholeTextSelected &&
                      text_.size() >= static_cast<std::size_t>(maxLength_);
    if (IsDigit(key)) {
        return full ? KeyVerdict::kBeep : KeyVerdict::kAccept;
    }
    if (key == '\b') {
        return KeyVerdict::kAccept;
    }
    if (key == '.' || key == '-') {
        if (full) {
            return KeyVerdict::kBeep;
        }
        const bool refused = key == '.'
                                 ? format_.find('.') == std::string::npos ||
                                       (!wholeTextSelected && text_.find('.') != std::string::npos)
                                 : positiveOnly_ || !caretAtStart;
        return refused ? KeyVerdict::kSwallow : KeyVerdict::kAccept;
    }
    return KeyVerdict::kSwallow;
}

bool NumberBoxModel::StepUp() {
    const double value = Value();
    if (useLimits_ && value >= max_) {
        return false;
    }
    const double step = std::max(increment_, 1);
    const double remainder = std::fmod(value, step);
    // Down to the multiple of the step first (negative remainders leave the value as it is).
    SetValue(value - std::max(remainder, 0.0) + step);
    return true;
}

bool NumberBoxModel::StepDown() {
    const double value = Value();
    // Below the minimum the limits would put the value straight back: a step there would only
    // report two changes, and mark a form changed that is not.
    const double floor = positiveOnly_ ? (useLimits_ ? std::max(min_, 0.0) : 0.0) : min_;
    if ((positiveOnly_ && value == 0) || (useLimits_ && value <= floor)) {
        return false;
    }
    const double step = std::max(increment_, 1);
    const double remainder = std::fmod(value, step);
    SetValue(remainder < 1 ? value - step : value - remainder);
    return true;
}

void NumberBoxModel::FocusGained() {
    hasFocus_ = true;
    if (locked_) {
        return;
    }
    SetText(Unformat(text_, positiveOnly_).text);
    lastText_ = text_;
}

void NumberBoxModel::FocusLost() {
    hasFocus_ = false;
    if (locked_) {
        return;
    }
    // An empty box counts as 0, which formats the same; only the limits need applying here.
    const double limited = LimitedValue();
    ShowValueText(limited != Value() ? NumberText(limited) : text_);
}

void NumberBoxModel::TextChanged(std::string_view text) {
    SetText(std::string(text));
}

void NumberBoxModel::Paste(std::string_view text) {
    if (!locked_) {
        SetText(FormatNumber(text, format_, positiveOnly_, hasFocus_));
    }
}

void NumberBoxModel::Cut() {
    if (!locked_) {
        SetText({});
    }
}

void NumberBoxModel::SetText(std::string text) {
    text_ = std::move(text);
    if (!enabled_) {
        return;
    }
    std::string raw = Unformat(text_, positiveOnly_).text;
    if (raw == lastText_) {
        return;
    }
    const bool numberChanged = ParseRaw(raw) != ParseRaw(lastText_);
    lastText_ = std::move(raw);
    if (numberChanged && onChange) {
        onChange();
    }
}

}  // namespace qm
