#include "win32/ui/msgdefs_paint.h"

#include "win32/common/colour.h"

#include <algorithm>
#include <cmath>

#include "win32/common/unique_handle.h"

namespace qm::win {
namespace {

std::uint32_t SystemColor(std::uint32_t index) {
    return ::GetSysColor(static_cast<int>(index));
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    // ExtTextOut with an opaque rectangle fills without creating a brush.
    ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

}  // namespace

std::optional<Rgb> ResolveOleColor(OleColor color) {
    return ResolveColor(color, SystemColor);
}

COLORREF OleColorToColorRef(OleColor color, COLORREF fallback) {
    const std::optional<Rgb> rgb = ResolveOleColor(color);
    return rgb ? ColorRefOf(*rgb) : fallback;
}

void PaintGradient(HDC dc, const RECT& area, OleColor color, int direction, bool lighten, bool fast,
                   const TwipsPerPixel& tpp, COLORREF backColor) {
    const std::optional<Rgb> start = ResolveOleColor(color);
    if (!start) {
        return;
    }
    const COLORREF oldBack = ::GetBkColor(dc);
    FillSolid(dc, area, backColor);
    const int widthPx = area.right - area.left;
    const int heightPx = area.bottom - area.top;
    const int widthTwips = static_cast<int>(std::lround(tpp.ToTwipsX(widthPx)));
    const int heightTwips = static_cast<int>(std::lround(tpp.ToTwipsY(heightPx)));
    for (const GradientBand& band :
         GradientBands(widthTwips, heightTwips, *start, direction, lighten, fast)) {
        // Neighbouring bands share an edge, so one conversion for both ends leaves no seam.
        RECT r{area.left + tpp.ToPixelsX(band.x1), area.top + tpp.ToPixelsY(band.y1),
               area.left + tpp.ToPixelsX(band.x2), area.top + tpp.ToPixelsY(band.y2)};
        r.left = std::max(r.left, area.left);
        r.top = std::max(r.top, area.top);
        r.right = std::min(r.right, area.right);
        r.bottom = std::min(r.bottom, area.bottom);
        if (r.right > r.left && r.bottom > r.top) {
            FillSolid(dc, r, ColorRefOf(band.color));
        }
    }
    ::SetBkColor(dc, oldBack);
}

bool PaintGradientShapes(HDC dc, const RECT& area, OleColor color, int direction,
                         const TwipsPerPixel& tpp) {
    const std::optional<Rgb> rgb = ResolveOleColor(color);
    if (!rgb) {
        return false;
    }
    const ShapesGradient plan = GradientShapes(*rgb, direction);
    const double w = area.right - area.left;
    const double h = area.bottom - area.top;
    auto mapX = [&](double u) {
        return area.left + static_cast<int>(std::lround(u * w / kShapeScale));
    };
    auto mapY = [&](double u) {
        return area.top + static_cast<int>(std::lround(u * h / kShapeScale));
    };

    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    ::SetROP2(dc, R2_COPYPEN);
    const COLORREF oldBack = ::GetBkColor(dc);
    FillSolid(dc, area, ColorRefOf(plan.back));
    // Twelve pixels at 96 dots an inch, as thick on larger screens.
    const int penWidth =
        std::max(1, static_cast<int>(std::lround(kShapeLineWidthPixels * 15.0 / tpp.x)));
    ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    for (const ShapePass& pass : plan.passes) {
        const COLORREF c = ColorRefOf(pass.color);
        if (pass.kind == ShapePass::Kind::kRect) {
            const RECT r{mapX(pass.x1), mapY(pass.y1), mapX(pass.x2), mapY(pass.y2)};
            if (r.right > r.left && r.bottom > r.top) {
                FillSolid(dc, r, c);
            }
            continue;
        }
        UniqueHpen pen(::CreatePen(PS_SOLID, penWidth, c));
        ScopedSelectObject usePen(dc, pen.get());
        if (pass.kind == ShapePass::Kind::kDiamond) {
            POINT pts[5];
            for (int i = 0; i < 4; ++i) {
                pts[i] = {mapX(pass.diamond[2 * i]), mapY(pass.diamond[2 * i + 1])};
            }
            pts[4] = pts[0];
            ::Polyline(dc, pts, 5);
        } else {
            // A true circle: the radius counts in units across, as the scale's circles do.
            const int cx = mapX(pass.cx);
            const int cy = mapY(pass.cy);
            const int r = static_cast<int>(std::lround(pass.radius * w / kShapeScale));
            ::Ellipse(dc, cx - r, cy - r, cx + r + 1, cy + r + 1);
        }
    }
    ::SetBkColor(dc, oldBack);
    ::RestoreDC(dc, saved);
    return true;
}

void SetTopMost(HWND window, bool topMost) {
    ::SetWindowPos(window, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace qm::win
