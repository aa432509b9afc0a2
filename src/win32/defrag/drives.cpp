#include "win32/defrag/drives.h"

#include <optional>

#include <windows.h>

#include "win32/common/text.h"

namespace qm::win {

std::string WindowsDriveSystem::LogicalDriveStrings() const {
    constexpr DWORD kChars = 2048;
    std::wstring buffer(kChars, L'\0');
    DWORD written = ::GetLogicalDriveStringsW(kChars - 1, buffer.data());
    if (written == 0 || written > kChars - 1) {
        return {};  // failed, or the list would not fit
    }
    buffer.resize(written);
    return Narrow(buffer);
}

bool WindowsDriveSystem::IsFixed(const std::string& root) const {
    return ::GetDriveTypeW(Widen(root).c_str()) == DRIVE_FIXED;
}

VolumeDetails WindowsDriveSystem::DetailsOf(const std::string& root) const {
    const std::wstring wideRoot = Widen(root);
    VolumeDetails details;
    wchar_t label[MAX_PATH + 1] = {};
    wchar_t fileSystem[MAX_PATH + 1] = {};
    if (::GetVolumeInformationW(wideRoot.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr,
                                fileSystem, MAX_PATH + 1)) {
        details.labelRead = true;
        details.label = Narrow(label);
        details.fileSystem = Narrow(fileSystem);
    }
    ULARGE_INTEGER available{}, total{}, totalFree{};
    if (::GetDiskFreeSpaceExW(wideRoot.c_str(), &available, &total, &totalFree)) {
        details.sizesRead = true;
        details.freeBytesAvailable = available.QuadPart;
        details.totalBytes = total.QuadPart;
        details.totalFreeBytes = totalFree.QuadPart;
    }
    return details;
}

FixedDriveList GetFixedDrives() {
    return qm::GetFixedDrives(WindowsDriveSystem{});
}

std::vector<FixedVolume> ListFixedVolumes() {
    return qm::ListFixedVolumes(WindowsDriveSystem{});
}

std::optional<int> OsPlatformId() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    // Only the platform is asked for, which the version lie of newer systems leaves alone.
    const BOOL ok = ::GetVersionExW(&info);
#pragma GCC diagnostic pop
    if (!ok) {
        return std::nullopt;
    }
    return static_cast<int>(info.dwPlatformId);
}

bool IsWindowsNT() {
    return OsPlatformId() == VER_PLATFORM_WIN32_NT;
}

}  // namespace qm::win
