#include "win32/defrag/defrag_launcher.h"

#include <windows.h>

#include <vector>

#include "win32/common/text.h"
#include "win32/common/unique_handle.h"
#include "win32/defrag/toolhelp_process_table.h"

namespace qm::win {

bool CreateProcessLauncher::Start(const std::string& commandLine, bool hidden,
                                  std::uint32_t creationClass) {
    std::wstring wide = Widen(commandLine);
    if (wide.empty()) {
        return false;
    }
    // The system may write into the command line while it parses it.
    std::vector<wchar_t> buffer(wide.begin(), wide.end());
    buffer.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (hidden) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    }
    PROCESS_INFORMATION info{};
    // Started suspended so that the class holds from the program's first instruction even
    // where the creation flag is ignored: set it on the handle, then let the program go.
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE,
                          creationClass | CREATE_SUSPENDED, nullptr, nullptr, &startup, &info)) {
        return false;
    }
    // The run finds the process again by name; holding its handles would only leak them.
    UniqueHandle thread(info.hThread);
    UniqueHandle process(info.hProcess);
    if (creationClass != 0) {
        ::SetPriorityClass(process.get(), creationClass);
    }
    if (resume_(thread.get()) == static_cast<DWORD>(-1)) {
        const DWORD error = ::GetLastError();
        ::TerminateProcess(process.get(), error ? error : 1);
        const std::wstring note = L"Quillmere: " + wide + L" could not be resumed (error " +
                                  std::to_wstring(error) + L") and was ended\n";
        ::OutputDebugStringW(note.c_str());
        return false;
    }
    return true;
}

void LaunchDefrag(const std::string& defragCmd, const std::string& contigCmd, bool hidden,
                  int priority, const std::function<void()>& onDefragStarted) {
    CreateProcessLauncher launcher;
    ToolhelpProcessTable processes;
    qm::LaunchDefrag(launcher, processes, defragCmd, contigCmd, hidden, priority, onDefragStarted);
}

}  // namespace qm::win
