#include "core/ui/about_texts.h"

namespace qm {

namespace {

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// Every byte but the unreserved ones and those in `keep` becomes %XX.
std::string PercentEncode(std::string_view text, std::string_view keep) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUnreserved(c) || keep.find(ch) != std::string_view::npos) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0x0F]);
        }
    }
    return out;
}

// The characters an address may keep as they are in a mailto address; '%', '?', '&', '#'
// and '/' must not, or they would be read as the address's own syntax.
constexpr std::string_view kAddressKeeps = "!$'()*+,;:@";

}  // namespace

std::string MailSubject(std::string_view versionLabel) {
    return std::string(AboutTexts::kTitle) + ", " + std::string(versionLabel);
}

std::string MailtoAddress(std::string_view email, std::string_view subject) {
    return "mailto:" + PercentEncode(email, kAddressKeeps) +
           "?subject=" + PercentEncode(subject, {});
}

}  // namespace qm
