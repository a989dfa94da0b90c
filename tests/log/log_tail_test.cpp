#include "log/log_tail.h"

#include "support/printers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

const QString kLeftOut = QStringLiteral("Logi algus jäeti välja: logi on suurem kui 1 MB.\r\n");

class LogTailTest : public ::testing::Test {
protected:
    QString path() const { return folder.filePath("kaugvoolus.log"); }
    void write(const QByteArray& bytes) const {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir folder;
};

TEST_F(LogTailTest, MissingOrEmptyLogGivesNothing) {
    EXPECT_EQ(readLogTail(path()), "");
    write({});
    EXPECT_EQ(readLogTail(path()), "");
}

TEST_F(LogTailTest, LogOfTheLimitComesWholeAndDecoded) {
    const QByteArray last = "12-06-2026; 09:30:15; S\xF5nad\r\n";
    write(QByteArray(kLogTailLimit - last.size(), 'x') + last);
    const QString tail = readLogTail(path());
    EXPECT_EQ(tail.size(), kLogTailLimit);
    EXPECT_TRUE(tail.startsWith(QLatin1Char('x')));
    EXPECT_TRUE(tail.endsWith("Sõnad\r\n"));
}

// The cut falls inside the first of the numbered lines: that line goes, the rest come whole.
TEST_F(LogTailTest, LongerLogKeepsItsLastPartFromTheFirstWholeLine) {
    QByteArray lines;
    for (int n = 0; lines.size() <= kLogTailLimit; ++n) {
        lines += QByteArray("line ") + QByteArray::number(n).rightJustified(6, '0') + "\r\n";
    }
    write("the beginning\r\n" + lines);
    const QString tail = readLogTail(path());
    EXPECT_TRUE(tail.startsWith(kLeftOut + QStringLiteral("line 000001\r\n")));
    EXPECT_TRUE(tail == kLeftOut + QString::fromLatin1(lines.mid(lines.indexOf('\n') + 1)));
}

}  // namespace
}  // namespace kestrum
