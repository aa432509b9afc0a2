#include "win32/common/registry_settings_store.h"

#include <string>

#include <gtest/gtest.h>

#include "win32/common/unique_handle.h"

namespace qm::test {
namespace {

using win::RegistrySettingsStore;

// Each test works under a fresh scratch key, never the program's real one.
class RegistryStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
    void TearDown() override { SetUp(); }

    // Writes a raw value of any type behind the store's back.
    void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, path_.c_str(), name, type, data, bytes),
                  ERROR_SUCCESS);
    }

    std::wstring path_ = L"Software\\QuillmereTests";
    RegistrySettingsStore store_{HKEY_CURRENT_USER, path_};
};

TEST_F(RegistryStoreTest, ValuesReadBackReplaceTheOldOnesAndKeepEveryCharacter) {
    EXPECT_EQ(store_.GetSetting("LastDefrag", "0"), "0");  // not even the key exists yet
    ASSERT_TRUE(store_.SaveSetting("StartDate", "12/5/2026"));
    ASSERT_TRUE(store_.SaveSetting("StartDate", "1/1/2027 9:30:00 PM"));
    EXPECT_EQ(store_.GetSetting("StartDate", "x"), "1/1/2027 9:30:00 PM");
    EXPECT_EQ(store_.GetSetting("EndDate", "x"), "x");
    ASSERT_TRUE(store_.SaveSetting("WeeklySelections", ""));  // a value, not an absence
    EXPECT_EQ(store_.GetSetting("WeeklySelections", "0000000"), "");
    const std::string text = " Montag, 7. D\xC3\xA9zember \xE2\x82\xAC ";
    ASSERT_TRUE(store_.SaveSetting("Title", text));
    EXPECT_EQ(store_.GetSetting("Title", ""), text);
}

// (A value of another type than text: the hostile-settings scenario.)
TEST_F(RegistryStoreTest, DamagedValuesReadAsTheDefaultOrAreCutSafely) {
    const wchar_t multi[] = L"1\0002\0";
    WriteRaw(L"ShowDDrive", REG_MULTI_SZ, multi, sizeof(multi));
    const std::wstring huge(100 * 1024, L'7');
    WriteRaw(L"StartHour", REG_SZ, huge.c_str(),
             static_cast<DWORD>((huge.size() + 1) * sizeof(wchar_t)));
    const wchar_t noNul[] = {L'1', L'2'};
    WriteRaw(L"StartMinute", REG_SZ, noNul, sizeof(noNul));
    const wchar_t embedded[] = L"30\0junk";
    WriteRaw(L"EveryInterval", REG_SZ, embedded, sizeof(embedded));
    const BYTE odd[] = {'5', 0, '5'};  // an odd byte count
    WriteRaw(L"EveryFrequency", REG_SZ, odd, sizeof(odd));
    EXPECT_EQ(store_.GetSetting("ShowDDrive", "1"), "1");
    EXPECT_EQ(store_.GetSetting("StartHour", "24"), "24");  // over-long
    EXPECT_EQ(store_.GetSetting("StartMinute", "0"), "12");
    EXPECT_EQ(store_.GetSetting("EveryInterval", "0"), "30");
    EXPECT_EQ(store_.GetSetting("EveryFrequency", "1").substr(0, 1), "5");
}

TEST_F(RegistryStoreTest, WritesRegSzWithItsTerminatingNulAndReportsAFailedWrite) {
    ASSERT_TRUE(store_.SaveSetting("UseEndDate", "True"));
    win::UniqueHkey key;
    DWORD type = 0, bytes = 0;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_QUERY_VALUE, key.put()),
              ERROR_SUCCESS);
    ::RegQueryValueExW(key.get(), L"UseEndDate", nullptr, &type, nullptr, &bytes);
    EXPECT_EQ(std::pair(type, bytes), std::pair(DWORD{REG_SZ}, DWORD{5 * sizeof(wchar_t)}));

    // A root that is no open key: the write cannot happen and the store says so.
    RegistrySettingsStore broken(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7A3)), path_);
    EXPECT_FALSE(broken.SaveSetting("RunPriority", "2"));
    EXPECT_EQ(broken.GetSetting("RunPriority", "1"), "1");
}

}  // namespace
}  // namespace qm::test
