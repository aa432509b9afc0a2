#pragma once

namespace qm {

// Whether a point in a window's client coordinates lies outside a window of the given size;
// a point on the edge is inside. All values in the same units.
inline bool IsPointOutside(long x, long y, long width, long height) {
    return x < 0 || y < 0 || x > width || y > height;
}

}  // namespace qm
