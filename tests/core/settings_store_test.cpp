#include "core/settings_store.h"
#include "support/memory_settings_store.h"

#include <QStringList>

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

QStringList warnings;  // "category: text" of each warning written meanwhile

void collectWarning(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg) {
        warnings.append(QString::fromUtf8(context.category) + QStringLiteral(": ") + text);
    }
}

TEST(SettingsStoreTest, AFailingStepEndsAloneWithOneWarningGivingTheReason) {
    testing::MemorySettingsStore store;
    store.failSection(QStringLiteral("Seaded"));
    bool restOfStepRan = false;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarning);
    skipOnStoreError([&] {
        store.write(QStringLiteral("Seaded"), QStringLiteral("Logi"), QStringLiteral("1"));
        restOfStepRan = true;
    });
    skipOnStoreError([&] {
        store.write(QStringLiteral("Mode"), QStringLiteral("Mode 1"), QStringLiteral("1"));
    });
    qInstallMessageHandler(previous);

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
