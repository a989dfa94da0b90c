#include "mail/processed_mails_file.h"
#include "support/captured_warnings.h"

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// The list outlives the program: the next run must find what was added and not what was
// forgotten, or a mail the server still holds runs twice.
TEST(ProcessedMailsFileTest, AddedAndForgottenIdsReachTheNextRun) {
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("state/processed-mails"));
    const mode_t umaskBefore = umask(0);
    {
        ProcessedMailsFile first(path);
        first.add(QStringLiteral("uid-1"));
        first.add(QStringLiteral("uid-2"));
    }
    ProcessedMailsFile second(path);
    EXPECT_TRUE(second.contains(QStringLiteral("uid-1")));
    second.keepOnly({QStringLiteral("uid-2"), QStringLiteral("uid-3")});
    const ProcessedMailsFile third(path);
    EXPECT_FALSE(third.contains(QStringLiteral("uid-1")));
    EXPECT_TRUE(third.contains(QStringLiteral("uid-2")));
    EXPECT_FALSE(third.contains(QStringLiteral("uid-3")));
    struct stat status {};
    ASSERT_EQ(stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600U) << "whatever the umask";
    umask(umaskBefore);
}

// A file too big, or with a line no server gives as an id, is not of this program's making:
// it is ignored whole, once told, rather than read into memory.
TEST(ProcessedMailsFileTest, ABigOrGarbledFileIsTakenAsEmpty) {
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("processed-mails"));
    for (const QByteArray& content :
         {QByteArray("1:2\n").repeated(ProcessedMailsFile::kMostBytes / 4 + 1),
          QByteArray("1:2\n\x01\xff garbage\n"), QByteArray("1:2\nuid 3\n"),
          QByteArray("1:2\n") + QByteArray(101, 'x')}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        const testing::CapturedWarnings warnings;
        EXPECT_FALSE(ProcessedMailsFile(path).contains(QStringLiteral("1:2")));
        EXPECT_EQ(warnings.containing("too big or garbled").size(), 1);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray("1:2\n").repeated(20000));
    file.close();
    EXPECT_TRUE(ProcessedMailsFile(path).contains(QStringLiteral("1:2")));
}

}  // namespace
}  // namespace kestrum
