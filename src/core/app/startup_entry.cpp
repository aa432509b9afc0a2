#include "core/app/startup_entry.h"

#include "core/defrag/text_case.h"

namespace qm {
namespace {

std::string Normalised(std::string_view path) {
    std::string text = AsciiLower(path);
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
    while (!text.empty() && text.back() == '\\') {
        text.pop_back();
    }
    return text;
}

std::string XmlEscaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

StartupEntryKind ChooseStartupEntry(WindowsVersion version, bool exeUnderProgramFiles) {
    return version.major >= 6 && exeUnderProgramFiles ? StartupEntryKind::kLogonTask
                                                      : StartupEntryKind::kShortcut;
}

bool IsPathUnder(std::string_view path, std::string_view folder) {
    const std::string p = Normalised(path);
    const std::string f = Normalised(folder);
    // Neither ends with a backslash: one after the folder's name means something follows.
    return !f.empty() && p.starts_with(f + '\\');
}

bool OfferRestartAsAdministrator(WindowsVersion version, ProcessRights rights,
                                 bool lastRunRefusedForRights) {
    return lastRunRefusedForRights && version.major >= 6 && !rights.elevated && rights.canElevate;
}

std::string LogonTaskXml(std::string_view userId, std::string_view exePath) {
    const std::string user = XmlEscaped(userId);
    return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
           "<Task version=\"1.2\" "
           "xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
           "  <RegistrationInfo>\r\n"
           "    <Description>Starts Quillmere at logon with the rights to "
           "defragment.</Description>\r\n"
           "  </RegistrationInfo>\r\n"
           "  <Triggers>\r\n"
           "    <LogonTrigger>\r\n"
           "      <Enabled>true</Enabled>\r\n"
           "      <UserId>" +
           user +
           "</UserId>\r\n"
           "    </LogonTrigger>\r\n"
           "  </Triggers>\r\n"
           "  <Principals>\r\n"
           "    <Principal id=\"Author\">\r\n"
           "      <UserId>" +
           user +
           "</UserId>\r\n"
           "      <LogonType>InteractiveToken</LogonType>\r\n"
           "      <RunLevel>HighestAvailable</RunLevel>\r\n"
           "    </Principal>\r\n"
           "  </Principals>\r\n"
           "  <Settings>\r\n"
           "    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\r\n"
           "    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\r\n"
           "    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\r\n"
           "    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>\r\n"
           "    <Priority>5</Priority>\r\n"
           "    <Enabled>true</Enabled>\r\n"
           "  </Settings>\r\n"
           "  <Actions Context=\"Author\">\r\n"
           "    <Exec>\r\n"
           "      <Command>\"" +
           XmlEscaped(exePath) +
           "\"</Command>\r\n"
           "    </Exec>\r\n"
           "  </Actions>\r\n"
           "</Task>\r\n";
}

bool StartupEntryPresent(StartupEntryPlatform& platform) {
    return platform.ShortcutExists() ||
           (platform.Kind() == StartupEntryKind::kLogonTask && platform.TaskExists());
}

void SetStartupEntry(StartupEntryPlatform& platform, bool on) {
    const bool task = platform.Kind() == StartupEntryKind::kLogonTask;
    if (!on) {
        platform.RemoveShortcut();
        if (task && platform.TaskExists()) {
            const auto result = platform.SetTask(false);
            if (!result.ok) {
                platform.Tell("Quillmere could not remove its logon task (" + result.reason +
                              "): it will still start with Windows.");
            }
        }
        return;
    }
    if (task) {
        const auto result = platform.SetTask(true);
        if (result.ok) {
            platform.RemoveShortcut();  // one way of starting is enough
            return;
        }
        if (platform.CreateShortcut()) {
            platform.Tell(
                "Quillmere could not register itself to start with administrator rights (" +
                result.reason +
                "). It will start from the Startup folder, where scheduled runs may be "
                "refused for want of rights.");
        }
        return;
    }
    platform.CreateShortcut();
}

}  // namespace qm
