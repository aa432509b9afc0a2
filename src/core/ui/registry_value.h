#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Registry roots and value types, numbered as the system numbers them.
inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegDword = 4;

// A registry value as the system hands it over: its type and its bytes, strings in UTF-16
// little-endian with or without their terminating NUL.
struct RegistryData {
    std::uint32_t type{};
    std::vector<std::uint8_t> bytes;
};

// Reads the registry. Paths and texts stay in the system's UTF-16: they only ever go back
// to the system, to start a program.
class RegistryReader {
  public:
    virtual ~RegistryReader() = default;
    // One value of a key opened for reading only; nothing when the key or the value cannot be
    // read.
    virtual std::optional<RegistryData> Query(std::uint32_t root, std::u16string_view key,
                                              std::u16string_view value) = 0;
    // An expandable string with the environment variables it names put in.
    virtual std::u16string ExpandEnvironment(std::u16string_view text) = 0;
};

// The longest value GetKeyValue reads, in characters; a longer one counts as unreadable.
inline constexpr std::size_t kKeyValueChars = 1024;

// `GetKeyValue`: reads the value `subKeyRef` of the key `keyName` under `keyRoot` as text
// into `keyVal`. A string is returned as stored, less a terminating NUL; an expandable string
// with its variables put in; a 32-bit number as its decimal text. Any other type, or a number
// of another size, leaves `keyVal` as it was and still counts as read. False, with `keyVal`
// empty, when the value cannot be read or is longer than 1,024 characters.
bool GetKeyValue(RegistryReader& registry, std::uint32_t keyRoot, std::u16string_view keyName,
                 std::u16string_view subKeyRef, std::u16string& keyVal);

}  // namespace qm
