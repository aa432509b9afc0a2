#include "win32/defrag/startup_shortcut_win.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "win32/common/com_runtime.h"
#include "win32/common/text.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/drives.h"

namespace qm::win {
namespace {

// The shell's link object, named here rather than taken from the GUID library, which would
// bring every GUID it holds into the program.
constexpr CLSID kShellLinkClass{0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

DWORD AttributesOf(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(Widen(path).c_str());
}

}  // namespace

std::string GetWindowsDir() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        return {};
    }
    return Narrow(std::wstring_view(buffer, length));
}

std::string UserStartupFolder() {
    // Into a buffer of ours: the known-folder call hands back COM memory, and freeing that
    // would load COM for a path.
    wchar_t path[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr,
                                        SHGFP_TYPE_CURRENT, path))
               ? Narrow(path)
               : std::string();
}

WindowsShortcutPlatform::WindowsShortcutPlatform()
    : WindowsShortcutPlatform([](const std::wstring& text, UINT style, const std::wstring& title) {
          ::MessageBoxW(nullptr, text.c_str(), title.c_str(), style);
      }) {}

WindowsShortcutPlatform::WindowsShortcutPlatform(MessageBoxCall messageBox,
                                                 std::string startupFolder)
    : messageBox_(std::move(messageBox)), startupFolder_(std::move(startupFolder)) {}

bool WindowsShortcutPlatform::IsWindowsNT() {
    return win::IsWindowsNT();
}

std::string WindowsShortcutPlatform::StartupFolder() {
    return startupFolder_.empty() ? UserStartupFolder() : startupFolder_;
}

bool WindowsShortcutPlatform::FileExists(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WindowsShortcutPlatform::FolderExists(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WindowsShortcutPlatform::RemoveFile(const std::string& path) {
    return ::DeleteFileW(Widen(path).c_str()) != 0;
}

namespace {

// The volume and the file index of a file: what makes it the same file under any of its names.
std::optional<BY_HANDLE_FILE_INFORMATION> FileIdentity(const std::string& path) {
    // No access rights are needed to read a file's identity.
    UniqueFileHandle file(::CreateFileW(
        Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !::GetFileInformationByHandle(file.get(), &info)) {
        return std::nullopt;
    }
    return info;
}

}  // namespace

bool WindowsShortcutPlatform::SameFile(const std::string& a, const std::string& b) {
    const auto first = FileIdentity(a);
    const auto second = FileIdentity(b);
    return first && second && first->dwVolumeSerialNumber == second->dwVolumeSerialNumber &&
           first->nFileIndexHigh == second->nFileIndexHigh &&
           first->nFileIndexLow == second->nFileIndexLow;
}

bool WindowsShortcutPlatform::CreateShellLink(const std::string& linkPath,
                                              const std::string& target,
                                              const std::string& arguments) {
    ComPtr<IShellLinkW> link;
    if (FAILED(CreateInProcessInstance(kShellLinkClass, __uuidof(IShellLinkW), link.put_void()))) {
        return false;
    }
    const std::wstring wideTarget = Widen(target);
    if (FAILED(link->SetPath(wideTarget.c_str())) ||
        FAILED(link->SetArguments(Widen(arguments).c_str()))) {
        return false;
    }
    // Started from the Startup folder, the program should find itself at home.
    const auto slash = wideTarget.find_last_of(L'\\');
    if (slash != std::wstring::npos) {
        link->SetWorkingDirectory(wideTarget.substr(0, slash).c_str());
    }
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(__uuidof(IPersistFile), file.put_void()))) {
        return false;
    }
    return SUCCEEDED(file->Save(Widen(linkPath).c_str(), TRUE));
}

void WindowsShortcutPlatform::ShowSystemMessage(const std::string& text, unsigned style,
                                                const std::string& title) {
    if (messageBox_) {
        messageBox_(Widen(text), style, Widen(title));
    }
}

std::optional<ShellLinkTarget> ReadShellLink(const std::wstring& linkPath) {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CreateInProcessInstance(kShellLinkClass, __uuidof(IShellLinkW), link.put_void())) ||
        FAILED(link->QueryInterface(__uuidof(IPersistFile), file.put_void())) ||
        FAILED(file->Load(linkPath.c_str(), STGM_READ))) {
        return std::nullopt;
    }
    wchar_t path[MAX_PATH] = {};
    wchar_t arguments[1024] = {};
    if (FAILED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
        FAILED(link->GetArguments(arguments, 1024))) {
        return std::nullopt;
    }
    return ShellLinkTarget{path, arguments};
}

}  // namespace qm::win

namespace qm::win {

std::string RunningExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return Narrow(path);
        }
        path.resize(path.size() * 2);  // long paths: try a larger buffer
    }
}

bool CreateProgramStartupShortcut(const std::string& appTitle) {
    WindowsShortcutPlatform platform;
    return qm::CreateStartupShortcut(platform, kStartupLinkName, RunningExecutablePath(), "",
                                     appTitle);
}

void RemoveProgramStartupShortcut() {
    WindowsShortcutPlatform platform;
    qm::RemoveStartupShortcut(platform, kStartupLinkName);
}

bool HasProgramStartupShortcut() {
    WindowsShortcutPlatform platform;
    return qm::HasStartupShortcut(platform, kStartupLinkName);
}

}  // namespace qm::win
