#pragma once

#include <windows.h>

#include <optional>

#include "core/ui/msgbox_layout.h"
#include "core/ui/msgdefs.h"

namespace qm::win {

// The colour to paint with, system colours looked up; nothing for kNoColor.
std::optional<Rgb> ResolveOleColor(OleColor color);
// As ResolveOleColor, with `fallback` for kNoColor.
COLORREF OleColorToColorRef(OleColor color, COLORREF fallback = 0);

// The 85-band linear gradient over `area` (pixels of `dc`), laid out in twips as the program's
// areas are. The area is first cleared to `backColor`. Does nothing for kNoColor.
void PaintGradient(HDC dc, const RECT& area, OleColor color, int direction, bool lighten, bool fast,
                   const TwipsPerPixel& tpp, COLORREF backColor);

// The 256-pass gradient of bands, diamonds or circles over `area`. Returns true when it has
// drawn (false for kNoColor).
bool PaintGradientShapes(HDC dc, const RECT& area, OleColor color, int direction,
                         const TwipsPerPixel& tpp);

// Makes `window` a top-most window (or not) without moving or sizing it.
void SetTopMost(HWND window, bool topMost);

}  // namespace qm::win
