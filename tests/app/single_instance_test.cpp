#include "app/single_instance.h"

#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// A second is refused until the first ends, and the lock of one that died is taken over. Root
// may write anywhere, so a lock that cannot be created has a file where its folder should be.
TEST(SingleInstanceTest, ASecondIsRefusedUntilTheFirstEndsOrDied) {
    QTemporaryDir folder;
    const QString lockPath = folder.filePath("kestrum.lock");
    {
        const SingleInstance first(lockPath);
        ASSERT_TRUE(first.acquired()) << first.refusal().toStdString();
        const SingleInstance second(lockPath);
        EXPECT_FALSE(second.acquired());
        EXPECT_EQ(second.refusal(), "Kestrum is already running for this user.");
    }
    EXPECT_TRUE(SingleInstance(lockPath).acquired());
    QFile lock(lockPath);
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write("2147483646\nkestrum\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    EXPECT_TRUE(SingleInstance(lockPath).acquired());

    QFile(folder.filePath("run")).open(QIODevice::WriteOnly);
    const SingleInstance impossible(folder.filePath("run/kestrum.lock"));
    EXPECT_FALSE(impossible.acquired());
    EXPECT_TRUE(impossible.refusal().contains("cannot create its lock file"));
}

}  // namespace
}  // namespace kestrum
