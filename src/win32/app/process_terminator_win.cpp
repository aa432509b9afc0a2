#include "win32/app/process_terminator_win.h"

#include <windows.h>

#include "win32/common/unique_handle.h"

namespace qm::win {

bool Win32ProcessTerminator::EndProcess(std::uint32_t pid) {
    if (pid == 0 || pid == ::GetCurrentProcessId()) {
        return false;
    }
    UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, pid));
    // The exit code tells anyone waiting on the defragmenter that it was stopped.
    return process && ::TerminateProcess(process.get(), ERROR_CANCELLED) != FALSE;
}

}  // namespace qm::win
