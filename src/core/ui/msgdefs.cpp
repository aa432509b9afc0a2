#include "core/ui/msgdefs.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/common/rounding.h"

namespace qm {

std::optional<Rgb> ResolveColor(OleColor color, const SystemColorLookup& lookup) {
    if (color == kNoColor) {
        return std::nullopt;
    }
    std::uint32_t value = color;
    if ((color & kSystemColorFlag) != 0) {
        value = lookup ? lookup(color & 0x00FFFFFFu) : 0;
    }
    return Rgb{static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
               static_cast<int>((value >> 16) & 0xFF)};
}

std::vector<GradientBand> GradientBands(int areaWidth, int areaHeight, Rgb start, int direction,
                                        bool lighten, bool fast) {
    constexpr int kBands = 85;
    if (direction < 1 || direction > 4) {
        direction = 1;
    }
    const bool across = direction >= 3;
    const int step = static_cast<int>(
        RoundHalfEven(static_cast<double>(across ? areaWidth : areaHeight) / kBands));
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (across) {
        x1 = direction == 4 ? areaWidth - step : 0;
        x2 = x1 + step;
        y2 = areaHeight;
    } else {
        y1 = direction == 2 ? areaHeight - step : 0;
        y2 = y1 + step;
        x2 = areaWidth;
    }

    auto clamp = [](int v) { return std::clamp(v, 0, 255); };
    int r = start.red, g = start.green, b = start.blue;
    std::vector<GradientBand> bands;
    for (int i = 1; i <= kBands; ++i) {
        if (i == kBands) {  // the last band of a reverse run reaches the edge
            if (direction == 2) {
                y1 = 0;
            } else if (direction == 4) {
                x1 = 0;
            }
        }
        bands.push_back({x1, y1, x2, y2, Rgb{clamp(r), clamp(g), clamp(b)}});

        // Darkening takes 3 a band; lightening adds 3 after every band but the odd ones below
        // 30 when fast, after every third band when not.
        const int delta = !lighten ? -3
                          : fast   ? ((i < 30 && i % 2 == 1) ? 0 : 3)
                                   : (i % 3 == 0 ? 3 : 0);
        r += delta;
        g += delta;
        b += delta;

        switch (direction) {
            case 1:
                y1 = y2;
                y2 = y1 + step;
                break;
            case 2:
                y1 -= step;
                y2 = y1 + step;
                break;
            case 3:
                x1 = x2;
                x2 = x1 + step;
                break;
            default:
                x1 -= step;
                x2 = x1 + step;
                break;
        }
    }
    return bands;
}

ShapesGradient GradientShapes(Rgb color, int direction) {
    ShapesGradient out;
    if (direction < 1 || direction > 16) {
        direction = 1;
    }
    // The channels go through their text form, as every colour the program splits does.
    char text[16];
    std::snprintf(text, sizeof text, " %d", color.red | (color.green << 8) | (color.blue << 16));
    const std::string digits = ColorToRGBText(text);
    const int red = std::atoi(digits.substr(0, 3).c_str());
    const int green = std::atoi(digits.substr(3, 3).c_str());
    const int blue = std::atoi(digits.substr(6, 3).c_str());

    const double h = kShapeScale;
    const double wd = kShapeScale;
    bool countUp = true;
    double cx = 0, cy = 0;
    out.back = color;
    if (direction >= 3 && direction <= 4) {
        countUp = false;
    } else if (direction >= 5) {
        countUp = direction % 2 == 1;
        out.back = countUp ? color : Rgb{0, 0, 0};
        switch ((direction - 5) / 2) {
            case 0:  // 5, 6: diamonds about the centre
            case 1:  // 7, 8: circles about the centre
                cx = wd / 2;
                cy = h / 2;
                break;
            case 2:  // 9, 10: top-left corner
                break;
            case 3:  // 11, 12: top-right corner
                cx = wd;
                break;
            case 4:  // 13, 14: bottom-left corner
                cy = h;
                break;
            default:  // 15, 16: bottom-right corner
                cx = wd;
                cy = h;
                break;
        }
    }

    out.passes.resize(kShapeScale);
    for (int c = 0; c < kShapeScale; ++c) {
        const int t = countUp ? c : 255 - c;
        ShapePass& pass = out.passes[static_cast<std::size_t>(c)];
        pass.color = Rgb{std::min(t, red), std::min(t, green), std::min(t, blue)};
        if (direction == 1 || direction == 3) {  // a pass is a rectangle unless said otherwise
            pass.y1 = c;
            pass.x2 = wd;
            pass.y2 = c + 1;
        } else if (direction == 2 || direction == 4) {
            pass.x1 = c;
            pass.x2 = c + 1;
            pass.y2 = h;
        } else if (direction == 5 || direction == 6) {
            const double f = c / 255.0;
            const double a = 1 - f;
            const double b = 1 + f;
            pass.kind = ShapePass::Kind::kDiamond;
            pass.diamond = {a * cx, cy, cx, a * cy, b * cx, cy, cx, b * cy};
        } else {
            pass.kind = ShapePass::Kind::kCircle;
            pass.cx = cx;
            pass.cy = cy;
            pass.radius = c;
        }
    }
    return out;
}

namespace {

// A decimal number as the program's runtime writes and reads them: blanks, a sign, digits
// with an optional point and exponent.
std::optional<double> ParseDecimal(std::string_view s) {
    while (!s.empty() && s.front() == ' ') {
        s.remove_prefix(1);
    }
    while (!s.empty() && s.back() == ' ') {
        s.remove_suffix(1);
    }
    if (s.empty()) {
        return std::nullopt;
    }
    std::size_t i = 0;
    if (s[i] == '+' || s[i] == '-') {
        ++i;
    }
    bool digits = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        ++i;
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            ++i;
            digits = true;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            ++j;
        }
        const std::size_t expStart = j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            ++j;
        }
        if (j == expStart) {
            return std::nullopt;
        }
        i = j;
    }
    if (i != s.size()) {
        return std::nullopt;
    }
    return std::strtod(std::string(s).c_str(), nullptr);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string ColorToRGBText(std::string_view text) {
    std::string hex(text);
    if (text.size() >= 2 && ParseDecimal(text.substr(1))) {
        const std::optional<double> value = ParseDecimal(text);
        if (!value || *value < 0) {
            hex = DecToHex(255);
        } else {
            // A colour has 32 bits; anything larger (even "1e300") is all ones, not UB.
            const double rounded = RoundHalfEven(*value);
            hex = DecToHex(rounded >= 4294967295.0 ? 0xFFFFFFFFLL
                                                   : static_cast<std::int64_t>(rounded));
        }
    }
    if (hex.size() >= 2 && hex[0] == '&' && (hex[1] == 'H' || hex[1] == 'h')) {
        hex.erase(0, 2);
    }
    hex = "0000000" + hex;
    hex = hex.substr(hex.size() - 8);
    for (char c : hex) {
        if (HexValue(c) < 0) {
            return {};
        }
    }
    auto byteAt = [&hex](std::size_t pos) {
        return HexValue(hex[pos]) * 16 + HexValue(hex[pos + 1]);
    };
    char out[16];
    std::snprintf(out, sizeof out, "%03d%03d%03d", byteAt(6), byteAt(4), byteAt(2));
    return out;
}

std::string DecToHex(std::int64_t n) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    if (n < 0) {
        n = static_cast<std::int64_t>(static_cast<std::uint32_t>(n));
    }
    std::string result;
    while (n != 0) {
        result.insert(result.begin(), kDigits[n % 16]);
        n /= 16;
    }
    return result.empty() ? "0" : result;
}

}  // namespace qm
