#include "mail/processed_mails_file.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// The list outlives the program: the next run must find what was added and not what was
// forgotten, or a mail the server still holds runs twice.
TEST(ProcessedMailsFileTest, AddedAndForgottenIdsReachTheNextRun) {
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("state/processed-mails"));
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
}

}  // namespace
}  // namespace kestrum
