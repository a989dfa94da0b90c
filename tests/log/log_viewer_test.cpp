#include "log/log_viewer.h"
#include "log/log_tail.h"

#include "support/fake_ui.h"
#include "support/printers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(LogViewerTest, LongLogShowsItsEndAfterSayingSo) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("kaugvoolus.log"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(kLogTailLimit, 'x') + "\r\nthe last line\r\n");
    file.close();
    testing::FakeUi ui;
    const QString shown = LogViewer(ui, path).ViewLog();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Logi algus jäeti välja")));
    EXPECT_EQ(shown, readLogTail(path));
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace kestrum
