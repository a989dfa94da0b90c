#include "core/settings_store.h"
#include "support/captured_warnings.h"
#include "support/memory_settings_store.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(SettingsStoreTest, AFailingStepEndsAloneWithOneWarningGivingTheReason) {
    testing::MemorySettingsStore store;
    store.failSection(QStringLiteral("Seaded"));
    bool restOfStepRan = false;
    testing::CapturedWarnings captured;
    skipOnStoreError([&] {
        store.write(QStringLiteral("Seaded"), QStringLiteral("Logi"), QStringLiteral("1"));
        restOfStepRan = true;
    });
    skipOnStoreError([&] {
        store.write(QStringLiteral("Mode"), QStringLiteral("Mode 1"), QStringLiteral("1"));
    });
    const QStringList warnings = captured.all();

    EXPECT_FALSE(restOfStepRan);
    EXPECT_TRUE(store.contains(QStringLiteral("Mode"), QStringLiteral("Mode 1")));
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith(QStringLiteral("kestrum.core: ")))
        << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("section made to fail")))
        << warnings[0].toStdString();
}

}  // namespace
}  // namespace kestrum
