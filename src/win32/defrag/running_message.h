#pragma once

#include <windows.h>

namespace qm::win {

// The panel the Options dialog lays over its drive rows while a Defrag Now run goes on: shaded
// from white downwards, its window text centred across it in red, in the font WM_SETFONT gives
// it. It takes the clicks meant for the rows beneath it.
inline constexpr const wchar_t* kRunningMessageClass = L"QuillmereRunningMessage";
bool RegisterRunningMessageClass();

}  // namespace qm::win
