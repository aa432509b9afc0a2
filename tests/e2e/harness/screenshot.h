#pragma once

#include <windows.h>

#include <string>

namespace qm::e2e {

// Copies a rectangle of the screen, as the display shows it now, into a 24-bit BMP file.
bool SaveScreenBmp(const RECT& area, const std::wstring& path);

// The scenario's screenshot folder: scripts/e2e-scenario.sh turns every BMP left there into
// a PNG of the same name in build/screenshots/.
std::wstring ScreenshotPath(const std::wstring& name);

}  // namespace qm::e2e
