#include "win32/ui/about_platform_win.h"

#include <mapi.h>
#include <shellapi.h>

#include <string>

#include "win32/common/com_runtime.h"
#include "win32/common/text.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

namespace {

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// The Unicode records of Simple MAPI (Windows 8 and later), which the SDK headers here lack:
// the ANSI records' layout with wide strings.
struct MapiRecipDescW {
    ULONG ulReserved;
    ULONG ulRecipClass;
    PWSTR lpszName;
    PWSTR lpszAddress;
    ULONG ulEIDSize;
    LPVOID lpEntryID;
};
struct MapiMessageW {
    ULONG ulReserved;
    PWSTR lpszSubject;
    PWSTR lpszNoteText;
    PWSTR lpszMessageType;
    PWSTR lpszDateReceived;
    PWSTR lpszConversationID;
    FLAGS flFlags;
    MapiRecipDescW* lpOriginator;
    ULONG nRecipCount;
    MapiRecipDescW* lpRecips;
    ULONG nFileCount;
    LPVOID lpFiles;
};
using MapiSendMailW = ULONG(WINAPI*)(LHANDLE, ULONG_PTR, MapiMessageW*, FLAGS, ULONG);

// A new message with the mail client's own window, logging on as the client needs.
constexpr FLAGS kSendFlags = MAPI_DIALOG | MAPI_LOGON_UI;

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};
using UniqueModule = UniqueResource<ModuleTraits>;

std::wstring SystemFolderPath() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    return (length == 0 || length >= MAX_PATH) ? std::wstring() : std::wstring(folder, length);
}

// The system's own MAPI library, by its full path: never one that lies in the current folder.
UniqueModule LoadMapi() {
    const std::wstring folder = SystemFolderPath();
    return UniqueModule(folder.empty() ? nullptr
                                       : ::LoadLibraryW((folder + L"\\MAPI32.dll").c_str()));
}

template <typename Function>
Function MapiFunction(const UniqueModule& mapi, const char* name) {
    return mapi ? reinterpret_cast<Function>(
                      reinterpret_cast<void*>(::GetProcAddress(mapi.get(), name)))
                : nullptr;
}

MapiOutcome OutcomeOf(ULONG result) {
    if (result == SUCCESS_SUCCESS) {
        return MapiOutcome::kSent;
    }
    return result == MAPI_USER_ABORT ? MapiOutcome::kCancelled : MapiOutcome::kFailed;
}

std::string Ansi(std::string_view utf8) {
    const std::wstring wide = Widen(utf8);
    if (wide.empty()) {
        return {};
    }
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length > 0 ? length : 0), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), length,
                          nullptr, nullptr);
    return out;
}

}  // namespace

bool Win32SysInfoPlatform::FileExists(std::u16string_view path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string Win32SysInfoPlatform::SystemFolder() {
    const std::wstring folder = SystemFolderPath();
    return std::u16string(folder.begin(), folder.end());
}

bool Win32SysInfoPlatform::StartProgram(std::u16string_view path) {
    const std::wstring file = Wide(path);
    EnsureComApartment();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // The shell starts the program even where it asks for elevation; its own error boxes stay
    // away, the program reports the failure itself.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&info) != FALSE;
}

MapiOutcome Win32MailPlatform::SendMailUnicode(std::string_view address, std::string_view subject) {
    EnsureComApartment();  // mail programs' simple MAPI runs in the caller's apartment
    const UniqueModule mapi = LoadMapi();
    const auto send = MapiFunction<MapiSendMailW>(mapi, "MAPISendMailW");
    if (!send) {
        return MapiOutcome::kUnavailable;
    }
    std::wstring name = Widen(address);
    std::wstring smtp = L"SMTP:" + name;
    std::wstring title = Widen(subject);
    MapiRecipDescW recipient{0, MAPI_TO, name.data(), smtp.data(), 0, nullptr};
    MapiMessageW message{};
    message.lpszSubject = title.data();
    message.nRecipCount = 1;
    message.lpRecips = &recipient;
    return OutcomeOf(send(0, reinterpret_cast<ULONG_PTR>(owner_), &message, kSendFlags, 0));
}

MapiOutcome Win32MailPlatform::SendMailAnsi(std::string_view address, std::string_view subject) {
    EnsureComApartment();
    const UniqueModule mapi = LoadMapi();
    const auto send = MapiFunction<LPMAPISENDMAIL>(mapi, "MAPISendMail");
    if (!send) {
        return MapiOutcome::kUnavailable;
    }
    std::string name = Ansi(address);
    std::string smtp = "SMTP:" + name;
    std::string title = Ansi(subject);
    MapiRecipDesc recipient{0, MAPI_TO, name.data(), smtp.data(), 0, nullptr};
    MapiMessage message{};
    message.lpszSubject = title.data();
    message.nRecipCount = 1;
    message.lpRecips = &recipient;
    return OutcomeOf(send(0, reinterpret_cast<ULONG_PTR>(owner_), &message, kSendFlags, 0));
}

bool Win32MailPlatform::OpenAddress(std::string_view address) {
    const std::wstring url = Widen(address);
    EnsureComApartment();
    const HINSTANCE result =
        ::ShellExecuteW(owner_, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace qm::win
