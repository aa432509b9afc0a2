#include "core/ui/registry_value.h"

namespace qm {

namespace {

// The characters of a string value; the size the registry reports includes the terminating
// NUL when the value was stored with one, and then that NUL is dropped.
std::u16string StoredText(const std::vector<std::uint8_t>& bytes) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    if (!text.empty() && text.back() == u'\0') {
        text.pop_back();
    }
    return text;
}

std::u16string DecimalText(const std::vector<std::uint8_t>& bytes) {
    const std::uint32_t number =
        static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
        (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

bool GetKeyValue(RegistryReader& registry, std::uint32_t keyRoot, std::u16string_view keyName,
                 std::u16string_view subKeyRef, std::u16string& keyVal) {
    const std::optional<RegistryData> data = registry.Query(keyRoot, keyName, subKeyRef);
    if (!data || data->bytes.size() > kKeyValueChars * sizeof(char16_t)) {
        keyVal.clear();
        return false;
    }
    switch (data->type) {
        case kRegSz:
            keyVal = StoredText(data->bytes);
            break;
        case kRegExpandSz:
            keyVal = registry.ExpandEnvironment(StoredText(data->bytes));
            break;
        case kRegDword:
            if (data->bytes.size() == 4) {
                keyVal = DecimalText(data->bytes);
            }
            break;
        default:
            break;
    }
    return true;
}

}  // namespace qm
