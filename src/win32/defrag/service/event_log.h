#pragma once

#include "core/defrag/defrag_service.h"
#include "win32/common/unique_handle.h"

namespace qm::win {

// The event source of the service's entries in the Application log; its messages are in
// QuillmereService.exe.
inline constexpr wchar_t kEventSourceName[] = L"Quillmere";
inline constexpr wchar_t kEventSourceKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Quillmere";

// Writes the service's events to the Application log. Where the system keeps no log, or the
// source cannot be opened, the events go nowhere and the service carries on.
class EventLogSink final : public service::EventSink {
  public:
    EventLogSink();
    void Report(const service::ServiceEvent& event) override;

  private:
    UniqueEventSource source_;
};

}  // namespace qm::win
