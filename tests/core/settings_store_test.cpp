#include "core/settings_store.h"
#include "support/captured_warnings.h"
#include "support/memory_settings_store.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(SettingsStoreTest, AFailingStepEndsAloneWithOneWarningGivingTheReason) {
    testing::MemorySettingsStore store;
    store.failSection("Seaded");
    bool restOfStepRan = false;
    testing::CapturedWarnings captured;
    skipOnStoreError([&] {
        store.write("Seaded", "Logi", "1");
        restOfStepRan = true;
    });
    skipOnStoreError([&] { store.write("Mode", "Mode 1", "1"); });
    const QStringList warnings = captured.all();

    EXPECT_FALSE(restOfStepRan);
    EXPECT_TRUE(store.contains("Mode", "Mode 1"));
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith("kestrum.core: ")) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].contains("section made to fail")) << warnings[0].toStdString();
}

}  // namespace
}  // namespace kestrum
