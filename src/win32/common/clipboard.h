#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace qm::win {

// The clipboard's text. The clipboard belongs to one window at a time; `owner` is the window
// that asks.
bool SetClipboardText(HWND owner, std::wstring_view text);
std::optional<std::wstring> ClipboardText(HWND owner);

}  // namespace qm::win
