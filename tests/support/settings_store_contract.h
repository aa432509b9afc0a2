#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "core/common/settings_store.h"

namespace qm::test {

// What every settings store promises, run against each implementation: the in-memory one
// natively, the registry one under Wine. The factory returns an empty store.
using StoreFactory = std::function<std::unique_ptr<SettingsStore>()>;

class SettingsStoreContract : public ::testing::TestWithParam<StoreFactory> {
  protected:
    void SetUp() override { store_ = GetParam()(); }
    std::unique_ptr<SettingsStore> store_;
};

TEST_P(SettingsStoreContract, AbsentKeyGivesTheDefault) {
    EXPECT_EQ(store_->GetSetting("RunPriority", "1"), "1");
    EXPECT_EQ(store_->GetSetting("RunPriority", ""), "");
}

TEST_P(SettingsStoreContract, SavedValueReadsBackAndReplacesTheOldOne) {
    ASSERT_TRUE(store_->SaveSetting("StartDate", "12/5/2026"));
    EXPECT_EQ(store_->GetSetting("StartDate", "x"), "12/5/2026");
    ASSERT_TRUE(store_->SaveSetting("StartDate", "1/1/2027 9:30:00 PM"));
    EXPECT_EQ(store_->GetSetting("StartDate", "x"), "1/1/2027 9:30:00 PM");
}

TEST_P(SettingsStoreContract, EmptyTextIsAValueNotAnAbsence) {
    ASSERT_TRUE(store_->SaveSetting("WeeklySelections", ""));
    EXPECT_EQ(store_->GetSetting("WeeklySelections", "0000000"), "");
}

TEST_P(SettingsStoreContract, KeysAreIndependentAndBlanksKept) {
    ASSERT_TRUE(store_->SaveSetting("ShowDDrive", "0"));
    ASSERT_TRUE(store_->SaveSetting("ShowEDrive", " 1 "));
    EXPECT_EQ(store_->GetSetting("ShowDDrive", "1"), "0");
    EXPECT_EQ(store_->GetSetting("ShowEDrive", "1"), " 1 ");
    EXPECT_EQ(store_->GetSetting("ShowFDrive", "1"), "1");
}

TEST_P(SettingsStoreContract, NonAsciiTextSurvives) {
    const std::string text = "Montag, 7. D\xC3\xA9zember \xE2\x82\xAC";
    ASSERT_TRUE(store_->SaveSetting("Title", text));
    EXPECT_EQ(store_->GetSetting("Title", ""), text);
}

}  // namespace qm::test
