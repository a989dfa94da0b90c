#include "log/log_tail.h"

#include "support/printers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// The cut falls inside the first of the numbered lines: that line goes, the rest come whole.
TEST(LogTailTest, LongerLogKeepsItsLastPartFromTheFirstWholeLine) {
    const QTemporaryDir folder;
    QFile file(folder.filePath("kaugvoolus.log"));
    QByteArray lines;
    for (int n = 0; lines.size() <= kLogTailLimit; ++n) {
        lines += QByteArray("line ") + QByteArray::number(n).rightJustified(6, '0') + "\r\n";
    }
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("the beginning\r\n" + lines);
    file.close();
    EXPECT_EQ(readLogTail(file.fileName()),
              QStringLiteral("Logi algus jäeti välja: logi on suurem kui 1 MB.\r\n") +
                  QString::fromLatin1(lines.mid(lines.indexOf('\n') + 1)));
}

}  // namespace
}  // namespace kestrum
