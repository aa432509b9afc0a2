#include "win32/defrag/toolhelp_process_table.h"

#include <windows.h>
#include <tlhelp32.h>

#include "core/defrag/process_watch.h"
#include "win32/common/text.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

std::optional<std::vector<ProcessEntry>> ToolhelpProcessTable::Snapshot() {
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return std::nullopt;
    }
    std::vector<ProcessEntry> entries;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        // The name is cut at its NUL here; the core cuts again for lists that do not.
        entries.push_back({entry.th32ProcessID, Narrow(entry.szExeFile),
                           static_cast<std::int32_t>(entry.pcPriClassBase),
                           entry.th32ParentProcessID});
    }
    return entries;
}

bool ToolhelpProcessTable::SetPriorityClass(std::uint32_t pid, std::uint32_t priorityClass) {
    UniqueHandle process(::OpenProcess(PROCESS_SET_INFORMATION, FALSE, pid));
    return process && ::SetPriorityClass(process.get(), priorityClass);
}

std::uint32_t FindProcessId(std::string_view exeName) {
    ToolhelpProcessTable table;
    return qm::FindProcessId(table, exeName);
}

void SetTaskPriority(std::string_view exeName, int level) {
    ToolhelpProcessTable table;
    qm::SetTaskPriority(table, exeName, level);
}

}  // namespace qm::win
