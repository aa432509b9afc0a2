#pragma once

#include <functional>
#include <string>

#include "core/app/startup_entry.h"
#include "core/defrag/startup_shortcut.h"

namespace qm::win {

// Starting with Windows on this system: a logon task for a copy in Program Files (registered
// by an elevated copy of the program when this one has no rights), the Startup-folder shortcut
// otherwise.
class WindowsStartupPlatform final : public StartupEntryPlatform {
  public:
    WindowsStartupPlatform(std::string exePath, WindowsVersion version, ProcessRights rights,
                           ShortcutPlatform& shortcuts,
                           std::function<void(const std::string&)> tell);

    StartupEntryKind Kind() override;
    bool TaskExists() override;
    TaskResult SetTask(bool registered) override;
    bool ShortcutExists() override;
    bool CreateShortcut() override;
    void RemoveShortcut() override;
    void Tell(const std::string& message) override;

  private:
    std::string exePath_;
    WindowsVersion version_;
    ProcessRights rights_;
    ShortcutPlatform& shortcuts_;
    std::function<void(const std::string&)> tell_;
};

// What the elevated copy does for `/startup-task register` or `/startup-task remove`: the
// task for `exePath` registered or removed; the result is its exit code (0 when done).
long RunStartupTaskCommand(bool registered, const std::string& exePath);

// The words for a Task Scheduler failure.
std::string TaskErrorReason(long hr);

}  // namespace qm::win
