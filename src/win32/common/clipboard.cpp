#include "win32/common/clipboard.h"

#include <cstring>

namespace qm::win {

namespace {

// The clipboard, open for the length of a scope.
class OpenedClipboard {
  public:
    explicit OpenedClipboard(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_) {
            ::CloseClipboard();
        }
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

  private:
    bool open_;
};

}  // namespace

bool SetClipboardText(HWND owner, std::wstring_view text) {
    OpenedClipboard clipboard(owner);
    if (!clipboard || !::EmptyClipboard()) {
        return false;
    }
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) {
        return false;
    }
    if (void* target = ::GlobalLock(memory)) {
        std::memcpy(target, text.data(), text.size() * sizeof(wchar_t));
        static_cast<wchar_t*>(target)[text.size()] = L'\0';
        ::GlobalUnlock(memory);
        // From here on the clipboard owns the memory.
        if (::SetClipboardData(CF_UNICODETEXT, memory)) {
            return true;
        }
    }
    ::GlobalFree(memory);
    return false;
}

std::optional<std::wstring> ClipboardText(HWND owner) {
    OpenedClipboard clipboard(owner);
    if (!clipboard) {
        return std::nullopt;
    }
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data) {
        return std::nullopt;
    }
    const auto* text = static_cast<const wchar_t*>(::GlobalLock(data));
    if (!text) {
        return std::nullopt;
    }
    std::wstring result(text, ::wcsnlen(text, ::GlobalSize(data) / sizeof(wchar_t)));
    ::GlobalUnlock(data);
    return result;
}

}  // namespace qm::win
