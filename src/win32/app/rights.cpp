#include "win32/app/rights.h"

#include <shellapi.h>

#include "win32/common/unique_handle.h"
#include "win32/defrag/startup_shortcut_win.h"
#include "win32/common/text.h"

namespace qm::win {

ProcessRights ReadProcessRights() {
    ProcessRights rights;
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        return rights;
    }
    UniqueHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD bytes = 0;
    if (::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &bytes)) {
        rights.elevated = elevation.TokenIsElevated != 0;
    }
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    if (::GetTokenInformation(token.get(), TokenElevationType, &type, sizeof(type), &bytes)) {
        rights.canElevate = type == TokenElevationTypeLimited;
    }
    return rights;
}

ElevatedStart StartSelfElevated(const std::wstring& arguments, bool wait) {
    const std::wstring exe = Widen(RunningExecutablePath());
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"runas";
    info.lpFile = exe.c_str();
    info.lpParameters = arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    ElevatedStart result;
    if (!::ShellExecuteExW(&info)) {
        result.error = ::GetLastError();
        return result;
    }
    UniqueHandle process(info.hProcess);
    if (wait && process) {
        ::WaitForSingleObject(process.get(), INFINITE);
        ::GetExitCodeProcess(process.get(), &result.exitCode);
    }
    return result;
}

}  // namespace qm::win
