#include "win32/defrag/log_folder.h"

#include <windows.h>
#include <shlobj.h>

#include "win32/common/text.h"
#include "win32/common/unique_handle.h"

namespace qm::win {
namespace {

std::string UserLogFolder() {
    // Into a buffer of ours: the known-folder call hands back COM memory, and freeing that
    // would load COM for a path.
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(
               ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))
               ? Narrow(path) + "\\Quillmere"
               : std::string();
}

bool WriteAll(HANDLE file, std::string_view text) {
    while (!text.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 20));
        if (!::WriteFile(file, text.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        text.remove_prefix(written);
    }
    return true;
}

}  // namespace

LocalLogFolder::LocalLogFolder(std::string folder)
    : folder_(folder.empty() ? UserLogFolder() : std::move(folder)) {}

std::wstring LocalLogFolder::PathOf(std::string_view file) const {
    return Widen(folder_ + "\\" + std::string(file));
}

bool LocalLogFolder::MakeFolder() const {
    return !folder_.empty() && (::CreateDirectoryW(Widen(folder_).c_str(), nullptr) ||
                                ::GetLastError() == ERROR_ALREADY_EXISTS);
}

std::uint64_t LocalLogFolder::SizeOf(std::string_view file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (folder_.empty() ||
        !::GetFileAttributesExW(PathOf(file).c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

std::string LocalLogFolder::Read(std::string_view file) {
    UniqueFileHandle handle(::CreateFileW(PathOf(file).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text;
    if (folder_.empty() || !handle) {
        return text;
    }
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(handle.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    return text;
}

std::string LocalLogFolder::ReadTail(std::string_view file, std::uint64_t maxBytes) {
    UniqueFileHandle handle(::CreateFileW(PathOf(file).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (folder_.empty() || !handle || !::GetFileSizeEx(handle.get(), &size)) {
        return {};
    }
    // Only the end is read: the file may be far larger than what is wanted of it.
    const std::uint64_t want = std::min<std::uint64_t>(size.QuadPart, maxBytes);
    LARGE_INTEGER from{};
    from.QuadPart = static_cast<LONGLONG>(size.QuadPart - want);
    std::string text(static_cast<std::size_t>(want), '\0');
    DWORD read = 0;
    if (!::SetFilePointerEx(handle.get(), from, nullptr, FILE_BEGIN) ||
        !::ReadFile(handle.get(), text.data(), static_cast<DWORD>(want), &read, nullptr)) {
        return {};
    }
    text.resize(read);
    return text;
}

bool LocalLogFolder::Write(std::string_view file, std::string_view text) {
    if (!MakeFolder()) {
        return false;
    }
    UniqueFileHandle handle(::CreateFileW(PathOf(file).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                          nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle && WriteAll(handle.get(), text);
}

bool LocalLogFolder::Append(std::string_view file, std::string_view text) {
    if (!MakeFolder()) {
        return false;
    }
    UniqueFileHandle handle(::CreateFileW(PathOf(file).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle && WriteAll(handle.get(), text);
}

}  // namespace qm::win
