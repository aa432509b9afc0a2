#include <gtest/gtest.h>

#include "core/app/splash_layout.h"
#include "core/ui/about_actions.h"
#include "core/ui/about_texts.h"

namespace qm {
namespace {

using namespace std::string_literals;
using enum MapiOutcome;

std::vector<std::uint8_t> Bytes(const std::u16string& text) {
    std::vector<std::uint8_t> bytes;
    for (const char16_t c : text) {
        bytes.insert(bytes.end(), {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8)});
    }
    return bytes;
}

// Registry values by "key|value" under HKEY_LOCAL_MACHINE (expanding marks a text with <>),
// files (a program starts when its file is there), and mail calls (U, A, the address opened).
struct FakeSystem final : RegistryReader, SysInfoPlatform, MailPlatform {
    std::optional<RegistryData> Query(std::uint32_t root, std::u16string_view key,
                                      std::u16string_view value) override {
        const auto it = values.find(std::u16string(key) + u"|" + std::u16string(value));
        return root == kHkeyLocalMachine && it != values.end() ? std::optional(it->second)
                                                               : std::nullopt;
    }
    std::u16string ExpandEnvironment(std::u16string_view text) override {
        return u"<" + std::u16string(text) + u">";
    }
    bool FileExists(std::u16string_view path) override { return files.contains(path); }
    std::u16string SystemFolder() override { return u"C:\\Windows\\system32"; }
    bool StartProgram(std::u16string_view path) override {
        started.emplace_back(path);
        return FileExists(path);
    }
    MapiOutcome SendMailUnicode(std::string_view, std::string_view) override {
        return calls += "U", unicode;
    }
    MapiOutcome SendMailAnsi(std::string_view, std::string_view) override {
        return calls += "A", ansi;
    }
    bool OpenAddress(std::string_view address) override { return calls += address, opens; }

    std::map<std::u16string, RegistryData> values;
    std::set<std::u16string, std::less<>> files;
    std::vector<std::u16string> started;
    MapiOutcome unicode = kUnavailable, ansi = kUnavailable;
    bool opens = false;
    std::string calls;
};

TEST(GetKeyValue, ValueFormsAndTheBufferEdge) {
    const std::u16string full(1024, u'x');  // the reading buffer's size
    const std::tuple<std::uint32_t, std::vector<std::uint8_t>, bool, std::u16string> cases[] = {
        {kRegSz, Bytes(u"C:\\\u03A9.exe\0"s), true, u"C:\\\u03A9.exe"},
        {kRegSz, Bytes(u"a\0b"s), true, u"a\0b"s},  // only a terminating NUL goes
        {kRegSz, {'a', 0, 'b'}, true, u"a"},        // a stray odd byte
        {kRegSz, {}, true, u""},
        {kRegExpandSz, Bytes(u"%SystemRoot%\0"s), true, u"<%SystemRoot%>"},
        {kRegDword, {0x78, 0x56, 0x34, 0x12}, true, u"305419896"},
        {kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}, true, u"4294967295"},
        {kRegDword, {0x02, 0x10, 0x00}, true, u"old"},
        {3, {1, 2, 3, 4}, true, u"old"},  // binary
        {kRegSz, Bytes(full), true, full},
        {kRegSz, Bytes(full + u'\0'), false, u""},
    };
    FakeSystem registry;
    for (const auto& [type, bytes, read, text] : cases) {
        registry.values[u"K|V"] = RegistryData{type, bytes};
        std::u16string value = u"old";
        EXPECT_EQ(GetKeyValue(registry, kHkeyLocalMachine, u"K", u"V", value), read) << type;
        EXPECT_TRUE(value == text) << type << " " << bytes.size();
    }
    std::u16string value = u"old";  // a value that is not there, or under another root
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, u"K", u"W", value) ||
                 GetKeyValue(registry, kHkeyLocalMachine + 1, u"K", u"V", value) || !value.empty());
}

TEST(StartSysInfo, RegistryPathThenSharedToolsThenTheSystemsOwn) {
    const std::u16string path = u"E:\\info.exe", tools = u"D:\\Tools\\MSINFO32.EXE",
                         own = u"C:\\Windows\\system32\\msinfo32.exe",
                         key = u"SOFTWARE\\Microsoft\\Shared Tools";
    using Paths = std::vector<std::u16string>;
    // The registry's PATH ("-" for none), the files, the result, the starts.
    const std::tuple<std::u16string, Paths, bool, Paths> cases[] = {
        {path, {path, tools, own}, true, {path}},
        {path, {tools, own}, false, {path}},  // a program that is not there
        {u"", {tools, own}, true, {tools}},
        {u"-", {own}, true, {own}},
        {u"-", {}, false, {}},
    };
    for (const auto& [registered, files, result, started] : cases) {
        FakeSystem system;
        if (registered != u"-") {
            system.values[key + u"\\MSINFO|PATH"] = {kRegSz, Bytes(registered)};
        }
        system.values[key + u" Location|MSINFO"] = {kRegSz, Bytes(u"D:\\Tools")};
        system.files = {files.begin(), files.end()};
        EXPECT_EQ(StartSysInfo(system, system), result);
        EXPECT_TRUE(system.started == started) << system.started.size();
    }
}

TEST(ComposeEmail, MapiThenItsOlderCallThenAMailtoAddress) {
    const std::string to = "AZaz09-._~+!@x%?&#/", subject = MailSubject(SplashVersionText(1, 2)),
                      mailto =
                          "mailto:AZaz09-._~+!@x%25%3F%26%23%2F?subject=Quillmere%2C%20"
                          "Version%201.2";
    EXPECT_EQ(subject, "Quillmere, Version 1.2");
    EXPECT_EQ(MailtoAddress("", "_@[`{/\xC3\xA9"), "mailto:?subject=_%40%5B%60%7B%2F%C3%A9");
    const std::tuple<MapiOutcome, MapiOutcome, bool, bool, std::string> cases[] = {
        {kSent, kFailed, false, true, "U"},
        {kCancelled, kSent, true, false, "U"},
        {kFailed, kSent, true, true, "U" + mailto},
        {kFailed, kSent, false, false, "U" + mailto},
        {kUnavailable, kSent, false, true, "UA"},
        {kUnavailable, kCancelled, true, false, "UA"},
        {kUnavailable, kUnavailable, true, true, "UA" + mailto},
    };
    for (const auto& [unicode, ansi, opens, result, calls] : cases) {
        FakeSystem mail;
        std::tie(mail.unicode, mail.ansi, mail.opens) = std::tie(unicode, ansi, opens);
        EXPECT_EQ(ComposeEmail(mail, to, subject), result) << calls;
        EXPECT_EQ(mail.calls, calls);
    }
}

}  // namespace
}  // namespace qm
