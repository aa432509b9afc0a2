#include "win32/defrag/defrag_system.h"

#include <windows.h>
#include <winioctl.h>

#include <vector>

#include "win32/common/text.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

WindowsVersion ReadWindowsVersion() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto rtlGetVersion = ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(
                                           ::GetProcAddress(ntdll, "RtlGetVersion")))
                                     : nullptr;
    if (!rtlGetVersion || rtlGetVersion(&info) != 0) {
        return {6, 1, 7601};  // the oldest system the program runs on
    }
    return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

std::string SystemFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        return {};
    }
    return Narrow(std::wstring_view(buffer, length));
}

std::optional<bool> IncursSeekPenalty(char letter) {
    const wchar_t volume[] = {L'\\', L'\\', L'.', L'\\', static_cast<wchar_t>(letter), L':', 0};
    UniqueFileHandle device(::CreateFileW(volume, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    if (!device) {
        return std::nullopt;
    }
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceSeekPenaltyProperty;
    query.QueryType = PropertyStandardQuery;
    DEVICE_SEEK_PENALTY_DESCRIPTOR answer{};
    DWORD bytes = 0;
    if (!::DeviceIoControl(device.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query),
                           &answer, sizeof(answer), &bytes, nullptr) ||
        bytes < sizeof(answer)) {
        return std::nullopt;
    }
    return answer.IncursSeekPenalty != FALSE;
}

std::optional<std::string> FileSystemOf(char letter) {
    const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', L'\0'};
    wchar_t name[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1)) {
        return std::nullopt;
    }
    return Narrow(name);
}

std::optional<bool> OptimisationServiceDisabled() {
    // The least access that reads a start type: nothing else of the service is asked.
    const UniqueScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const UniqueScHandle service(
        manager ? ::OpenServiceW(manager.get(), L"defragsvc", SERVICE_QUERY_CONFIG) : nullptr);
    if (!service) {
        return std::nullopt;
    }
    DWORD needed = 0;
    ::QueryServiceConfigW(service.get(), nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (needed == 0 || !::QueryServiceConfigW(service.get(), config, needed, &needed)) {
        return std::nullopt;
    }
    return config->dwStartType == SERVICE_DISABLED;
}

DefragSystem ThisDefragSystem(DefragServiceAccess* service) {
    DefragSystem system;
    system.syntax = DefragSyntaxFor(ReadWindowsVersion());
    const std::string folder = SystemFolder();
    // Never a defrag.exe of the search path, the current folder or the program's own folder:
    // a planted copy would run at the priority the user gave the real one.
    system.defragProgram =
        (folder.empty() ? std::string("C:\\Windows\\system32") : folder) + "\\defrag.exe";
    system.incursSeekPenalty = &IncursSeekPenalty;
    system.fileSystemOf = &FileSystemOf;
    system.optimisationServiceDisabled = &OptimisationServiceDisabled;
    wchar_t exe[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring path(exe, length < MAX_PATH ? length : 0);
    const std::size_t slash = path.find_last_of(L'\\');
    // No folder, no tool: a bare name would be looked for where others can put files.
    system.contigProgram =
        slash == std::wstring::npos ? "" : Narrow(path.substr(0, slash + 1)) + "contig.exe";
    system.service = service;
    return system;
}

}  // namespace qm::win
