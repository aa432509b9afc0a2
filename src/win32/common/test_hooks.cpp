#include "win32/common/test_hooks.h"

#include <windows.h>

#include "win32/common/text.h"
#include "win32/common/unique_handle.h"

namespace qm::win {
namespace {

const std::wstring& HookFolder() {
    static const std::wstring folder = [] {
        wchar_t buffer[1024] = {};
        const DWORD n = ::GetEnvironmentVariableW(L"QM_TEST_HOOKS", buffer, 1024);
        return n > 0 && n < 1024 ? std::wstring(buffer, n) : std::wstring();
    }();
    return folder;
}

}  // namespace

std::optional<std::string> TestHookValue(const char* file) {
    if (HookFolder().empty()) {
        return std::nullopt;
    }
    UniqueFileHandle handle(::CreateFileW((HookFolder() + L"\\" + Widen(file)).c_str(),
                                          GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        return std::nullopt;
    }
    char buffer[256];
    DWORD read = 0;
    if (!::ReadFile(handle.get(), buffer, sizeof buffer, &read, nullptr)) {
        return std::nullopt;
    }
    std::string text(buffer, read);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

void RecordTestHookLine(const char* file, const std::string& line) {
    if (HookFolder().empty()) {
        return;
    }
    UniqueFileHandle handle(::CreateFileW((HookFolder() + L"\\" + Widen(file)).c_str(),
                                          FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::string text = line + "\r\n";
    DWORD written = 0;
    if (handle) {
        ::WriteFile(handle.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

}  // namespace qm::win
