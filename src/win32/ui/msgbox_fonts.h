#pragma once

#include <windows.h>

#include <string_view>

#include "core/ui/msgbox_enhanced.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

// The box's two faces: the title in bold 8.25-point MS Sans Serif, the prompt and the
// buttons in the regular weight (the system substitutes its closest face where that font is
// missing). Sized for the screen's twips-per-pixel factor.
UniqueHfont CreateMsgBoxFont(MsgBoxFont font, const TwipsPerPixel& tpp);

// The DrawText flags of the prompt: lines break only where the text breaks them, and an
// ampersand is shown as itself.
inline constexpr UINT kPromptTextFlags = DT_NOPREFIX | DT_EXPANDTABS;

// The size a self-sizing label takes for `text` in `font`, in pixels.
SIZE MeasureLabel(HFONT font, std::wstring_view text);

}  // namespace qm::win
