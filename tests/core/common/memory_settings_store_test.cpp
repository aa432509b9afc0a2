#include "core/common/memory_settings_store.h"

#include "support/settings_store_contract.h"

namespace qm::test {
namespace {

INSTANTIATE_TEST_SUITE_P(Memory, SettingsStoreContract, ::testing::Values(StoreFactory([] {
                             return std::make_unique<MemorySettingsStore>();
                         })));

TEST(MemorySettingsStore, FailingWritesAreReportedAndChangeNothing) {
    MemorySettingsStore store;
    ASSERT_TRUE(store.SaveSetting("RunPriority", "2"));
    store.FailWrites(true);
    EXPECT_FALSE(store.SaveSetting("RunPriority", "3"));
    EXPECT_EQ(store.GetSetting("RunPriority", "1"), "2");
}

}  // namespace
}  // namespace qm::test
