#pragma once

#include <string>
#include <string_view>

#include "core/defrag/defrag_launch.h"

namespace qm {

// The program's rights: whether it runs elevated, and whether its user could elevate (an
// administrator whose token is split, running without rights until asked).
struct ProcessRights {
    bool elevated{};
    bool canElevate{};
};

// How the program starts with Windows.
enum class StartupEntryKind {
    kShortcut,   // "Quillmere.lnk" in the user's Startup folder: without administrator rights
    kLogonTask,  // a Task Scheduler task at logon, at the highest run level: elevated, no prompt
};

// A task only from Windows Vista on, and only for a copy that standard users cannot replace: an
// elevated task that starts a file its user may overwrite hands administrator rights to any
// program of that user. Program Files is such a place; a per-user or portable copy is not.
StartupEntryKind ChooseStartupEntry(WindowsVersion version, bool exeUnderProgramFiles);

// Whether `path` lies inside `folder` (whole names, case ignored, either slash).
bool IsPathUnder(std::string_view path, std::string_view folder);

// "Restart as Administrator" is offered where it can help: a run was refused for want of
// rights, on a system that has elevation, to a user who can elevate.
bool OfferRestartAsAdministrator(WindowsVersion version, ProcessRights rights,
                                 bool lastRunRefusedForRights);

// The task's definition for Task Scheduler 2.0: at the logon of `userId` ("DOMAIN\user"), run
// `exePath` with the user's own desktop session at the highest run level, on battery too, for
// as long as it likes.
std::string LogonTaskXml(std::string_view userId, std::string_view exePath);

inline constexpr const char* kLogonTaskName = "Quillmere";

// What setting the start-up entry needs from the system.
class StartupEntryPlatform {
  public:
    struct TaskResult {
        bool ok{};
        std::string reason;  // why not: "the request for administrator rights was declined"
    };

    virtual ~StartupEntryPlatform() = default;
    virtual StartupEntryKind Kind() = 0;
    virtual bool TaskExists() = 0;
    // Registers or removes the task, asking for administrator rights when the program has none.
    virtual TaskResult SetTask(bool registered) = 0;
    virtual bool ShortcutExists() = 0;
    // Makes the shortcut; tells the user itself when it cannot.
    virtual bool CreateShortcut() = 0;
    virtual void RemoveShortcut() = 0;
    // Tells the user something in the program's message box.
    virtual void Tell(const std::string& message) = 0;
};

// Whether the program starts with Windows in either way.
bool StartupEntryPresent(StartupEntryPlatform& platform);

// Makes the program start with Windows, or not. A task that cannot be registered falls back to
// the shortcut, and the user hears why; turning it off removes both kinds.
void SetStartupEntry(StartupEntryPlatform& platform, bool on);

}  // namespace qm
