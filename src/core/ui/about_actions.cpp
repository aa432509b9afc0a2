#include "core/ui/about_actions.h"

#include "core/ui/about_texts.h"

namespace qm {

bool StartSysInfo(RegistryReader& registry, SysInfoPlatform& platform) {
    std::u16string path;
    // An empty value names no program: the other places are asked.
    if (GetKeyValue(registry, kHkeyLocalMachine, u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                    u"PATH", path) &&
        !path.empty()) {
        return platform.StartProgram(path);
    }
    std::u16string folder;
    if (GetKeyValue(registry, kHkeyLocalMachine, u"SOFTWARE\\Microsoft\\Shared Tools Location",
                    u"MSINFO", folder)) {
        const std::u16string program = folder + u"\\MSINFO32.EXE";
        if (platform.FileExists(program)) {
            return platform.StartProgram(program);
        }
    }
    const std::u16string own = platform.SystemFolder() + u"\\msinfo32.exe";
    return platform.FileExists(own) && platform.StartProgram(own);
}

bool ComposeEmail(MailPlatform& mail, std::string_view address, std::string_view subject) {
    MapiOutcome outcome = mail.SendMailUnicode(address, subject);
    if (outcome == MapiOutcome::kUnavailable) {
        outcome = mail.SendMailAnsi(address, subject);
    }
    if (outcome == MapiOutcome::kSent) {
        return true;
    }
    if (outcome == MapiOutcome::kCancelled) {
        return false;
    }
    return mail.OpenAddress(MailtoAddress(address, subject));
}

}  // namespace qm
