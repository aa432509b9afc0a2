#include "win32/defrag/service/event_log.h"

#include <string>

#include "quillmere_service.h"
#include "win32/common/text.h"

namespace qm::win {

EventLogSink::EventLogSink() : source_(::RegisterEventSourceW(nullptr, kEventSourceName)) {}

void EventLogSink::Report(const service::ServiceEvent& event) {
    if (!source_) {
        return;
    }
    using Kind = service::ServiceEvent::Kind;
    DWORD id = QM_MSG_RUN_STARTED;
    WORD type = EVENTLOG_INFORMATION_TYPE;
    switch (event.kind) {
        case Kind::kRunStarted:
            break;
        case Kind::kRunEnded:
            id = QM_MSG_RUN_ENDED;
            break;
        case Kind::kRefused:
            id = QM_MSG_REFUSED;
            type = EVENTLOG_WARNING_TYPE;
            break;
        case Kind::kNameTaken:
            id = QM_MSG_NAME_TAKEN;
            type = EVENTLOG_ERROR_TYPE;
            break;
    }
    const std::wstring account = Widen(event.account);
    const std::wstring text = Widen(event.text);
    const wchar_t* strings[] = {account.c_str(), text.c_str()};
    ::ReportEventW(source_.get(), type, 0, id, nullptr, 2, 0, strings, nullptr);
}

}  // namespace qm::win
