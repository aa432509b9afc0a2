#pragma once

#include <string>
#include <string_view>

namespace qm {

// The texts of the About dialog and of its two messages.
struct AboutTexts {
    static constexpr const char* kTitle = "Quillmere";
    static constexpr const char* kCaption = " About Quillmere";
    static constexpr const char* kDescription =
        "Quillmere is an automatic disk defragmenter program, designed to maintain optimum system "
        "performance and stability.";
    static constexpr const char* kInvitation =
        "Your comments and suggestions help to make Quillmere better. Please send them to:";
    static constexpr const char* kWebSiteLabel = "Web site:";
    static constexpr const char* kEmailTip = " Send an e-mail to Brindlecove ";
    static constexpr const char* kWebTip = " Visit the Brindlecove web site ";
    static constexpr const char* kOk = "OK";
    static constexpr const char* kSysInfo = "&System Info...";
    static constexpr const char* kMailProblem =
        "A problem has occurred while trying to send an e-mail.";
    static constexpr const char* kSysInfoUnavailable =
        "System Information Is Unavailable At This Time";
};

// The subject of an e-mail to the maker: the title, a comma and the version label
// ("Quillmere, Version 1.2").
std::string MailSubject(std::string_view versionLabel);

// "mailto:" the address with the subject, each percent-encoded as a mailto address must be
// (UTF-8 bytes, blanks as %20), for systems whose mail client only answers such addresses.
std::string MailtoAddress(std::string_view email, std::string_view subject);

}  // namespace qm
