#pragma once

#include <cmath>

namespace qm {

// Rounds to the nearest whole number, halves to the even number (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2). Independent of the floating-point rounding mode. NaN and infinities are
// returned unchanged.
inline double RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction < 0.5) {
        return lower;
    }
    if (fraction > 0.5) {
        return lower + 1.0;
    }
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

}  // namespace qm
