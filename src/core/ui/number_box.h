#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qm {

// The numeric entry box: its text rules and arithmetic. While it has the focus the box shows
// the bare number (digits, one point, a leading minus); otherwise the number laid into a
// display mask such as "###,##0.00;(##,###.00)", whose part before ";" serves zero and
// positive numbers and whose part after it serves negative ones.

inline constexpr std::string_view kNumberBoxDefaultFormat = "###,##0.00;(##,###.00)";
inline constexpr double kNumberBoxDefaultMax = 999999.99;

// The longest entry the mask allows typing: 10 for the default mask.
int MaxEntryLength(std::string_view format);

struct RawNumber {
    std::string text;  // digits, at most one '.', an optional leading '-'
    bool nonNegative = true;
};
// Any text to a bare number: "(1,234.50)" gives "-1234.50". With `positiveOnly` a minus is
// dropped.
RawNumber Unformat(std::string_view text, bool positiveOnly);
// The number of a bare text; 0 for "", "-" and ".".
double ParseRaw(std::string_view raw);
// The shortest plain decimal text of a number ("1234.5", "7"), never an exponent.
std::string NumberText(double value);

// The text laid into the mask: 5 shows as "5.00", -5 as "(5.00)", 1234567 as "234,567.00"
// (digits beyond the mask are lost). While focused, a negative number takes the negative
// mask's digits after a plain minus.
std::string FormatNumber(std::string_view text, std::string_view format, bool positiveOnly,
                         bool hasFocus);

enum class KeyVerdict { kAccept, kSwallow, kBeep };

// The control's state and the rules behind its events; the window is a thin shell that shows
// Text(), forwards its events here, and beeps or swallows keys as told.
class NumberBoxModel {
  public:
    NumberBoxModel();

    // Raised when the number in the box changes (not merely its written form).
    std::function<void()> onChange;

    // The number of the text; 0 when the box is empty.
    double Value() const;
    void SetValue(double value);
    // The value as the limits would leave it when the box is left.
    double LimitedValue() const;
    double MaxValue() const { return max_; }
    void SetMaxValue(double value);
    double MinValue() const { return min_; }
    void SetMinValue(double value);
    bool UseMaxMinValues() const { return useLimits_; }
    void SetUseMaxMinValues(bool value);
    const std::string& Format() const { return format_; }
    void SetFormat(std::string_view format);
    bool PositiveOnly() const { return positiveOnly_; }
    void SetPositiveOnly(bool value);
    bool Locked() const { return locked_; }
    void SetLocked(bool value) { locked_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    bool UpDownFunction() const { return upDown_; }
    void SetUpDownFunction(bool value) { upDown_ = value; }
    int UpDownIncrement() const { return increment_; }
    void SetUpDownIncrement(int value) { increment_ = value; }
    bool GotFocus() const { return hasFocus_; }
    int MaxLength() const { return maxLength_; }

    // What the box shows.
    const std::string& Text() const { return text_; }

    // A typed character, with the selection as it stands before it.
    KeyVerdict KeyPress(char32_t key, bool wholeTextSelected, bool caretAtStart) const;
    // One step of the arrow keys or the up-down buttons; false at the limit (the auto-repeat
    // stops there).
    bool StepUp();
    bool StepDown();
    void FocusGained();
    void FocusLost();
    // The user changed the text.
    void TextChanged(std::string_view text);
    // Ctrl+V: the clipboard's text, formatted. Ctrl+X empties the box. Locked boxes keep
    // their text.
    void Paste(std::string_view text);
    void Cut();

  private:
    void SetText(std::string text);
    void ShowValueText(std::string_view text);
    void ApplyLimits();

    std::string format_;
    int maxLength_ = 10;
    double max_ = kNumberBoxDefaultMax;
    double min_{};
    bool useLimits_{};
    bool positiveOnly_{};
    bool locked_{};
    bool enabled_ = true;
    bool upDown_{};
    int increment_ = 1;
    bool hasFocus_{};
    std::string text_;
    std::string lastText_;
};

}  // namespace qm
