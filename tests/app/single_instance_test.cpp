#include "app/single_instance.h"

#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    const QString lockPath = folder.filePath("kestrum.lock");
};

TEST_F(SingleInstanceTest, ASecondIsRefusedUntilTheFirstEnds) {
    {
        const SingleInstance first(lockPath);
        ASSERT_TRUE(first.acquired()) << first.refusal().toStdString();
        const SingleInstance second(lockPath);
        EXPECT_FALSE(second.acquired());
        EXPECT_EQ(second.refusal(), "Kestrum is already running for this user.");
    }
    EXPECT_TRUE(SingleInstance(lockPath).acquired());
}

TEST_F(SingleInstanceTest, TheLockOfAProgramThatDiedIsTakenOver) {
    QFile lock(lockPath);
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write("2147483646\nkestrum\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    EXPECT_TRUE(SingleInstance(lockPath).acquired());
}

// Root may write anywhere, so the folder is made impossible: a file stands where it should be.
TEST_F(SingleInstanceTest, ALockThatCannotBeCreatedIsReportedAsSuch) {
    QFile(folder.filePath("run")).open(QIODevice::WriteOnly);
    const QString impossible = folder.filePath("run/kestrum.lock");
    const SingleInstance instance(impossible);
    EXPECT_FALSE(instance.acquired());
    EXPECT_TRUE(instance.refusal().startsWith(
        QStringLiteral("Kestrum cannot create its lock file %1").arg(impossible)));
}

}  // namespace
}  // namespace kestrum
