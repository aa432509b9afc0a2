#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qm {

// How the scheduler asks for the editor to be shown.
struct ScheduleEditorRequest {
    // true: OK enabled and default, cancel captioned "Cancel"; false: viewing only, OK
    // disabled, cancel default and captioned "Close".
    bool acceptChanges{};
    bool modal{};
    // 0 manual (formLeft/formTop), 1 centred on the screen, other values keep the designed
    // position.
    std::int32_t startUpPosition{};
    std::int32_t formLeft{};
    std::int32_t formTop{};
    // Window caption; empty keeps the designed one.
    std::string title;
};

// The schedule editor window as the scheduler component sees it.
//
// Display returns when the editor closes if the request is modal, at once otherwise; asked
// while the editor is already up, it only brings the editor to the front. A confirmed change
// is written to the schedule record, stored at once (the editor is given the program's save),
// and reported through EditorHost()->FlagScheduleChanged(); nothing is written otherwise.
//
// Close may come while one of the editor's own handlers is still running, for instance while
// its OK waits in a message box and a run disables the scheduler: IsOpen is false from that
// moment, the handler goes no further than its message box, and the window goes once the
// handler has returned.
class ScheduleEditor {
  public:
    virtual ~ScheduleEditor() = default;
    virtual void Display(const ScheduleEditorRequest& request) = 0;
    // Unloads the editor; nothing happens when it is not open.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
};

struct TwipPoint {
    std::int32_t left{};
    std::int32_t top{};
    friend bool operator==(const TwipPoint&, const TwipPoint&) = default;
};

// The editor's tallest layout (monthly), in twips: centring uses it whatever layout shows,
// so the window does not jump when the layout changes.
inline constexpr std::int32_t kScheduleEditorTallestHeight = 6780;

// Where the editor goes, in twips, or nothing to keep the designed position.
inline std::optional<TwipPoint> ScheduleEditorPosition(const ScheduleEditorRequest& request,
                                                       std::int32_t screenWidth,
                                                       std::int32_t screenHeight,
                                                       std::int32_t formWidth) {
    if (request.startUpPosition == 0) {
        return TwipPoint{request.formLeft, request.formTop};
    }
    if (request.startUpPosition == 1) {
        return TwipPoint{static_cast<std::int32_t>((std::int64_t{screenWidth} - formWidth) / 2),
                         static_cast<std::int32_t>(
                             (std::int64_t{screenHeight} - kScheduleEditorTallestHeight) / 2)};
    }
    return std::nullopt;
}

}  // namespace qm
