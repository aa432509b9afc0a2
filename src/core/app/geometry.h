#pragma once

namespace qm {

// Screen pixels.
struct Point {
    int x{};
    int y{};
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int left{};
    int top{};
    int right{};
    int bottom{};
    friend bool operator==(const Rect&, const Rect&) = default;

    // Edges count as inside: the cursor resting on the icon's border is still on the icon.
    bool Contains(Point p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
};

}  // namespace qm
