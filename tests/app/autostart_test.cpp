#include "app/autostart.h"

#include <QFile>
#include <QTemporaryDir>

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// The entry file is the only state: there is nothing else to get out of step with it.
TEST(AutostartTest, TheEntryIsWrittenAndRemovedOrTheReasonGiven) {
    QTemporaryDir home;
    const QString entry = home.filePath("autostart/kestrum.desktop");
    const Autostart autostart(entry, "/usr/bin/kestrum");
    EXPECT_EQ(autostart.setEnabled(true), "");
    EXPECT_TRUE(autostart.enabled());
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\nExec=/usr/bin/kestrum\n")) << text.toStdString();
    EXPECT_EQ(autostart.setEnabled(false), "");
    EXPECT_FALSE(autostart.enabled());
    EXPECT_EQ(autostart.setEnabled(false), "") << "nothing to remove is no failure";

    QFile(home.filePath("blocked")).open(QIODevice::WriteOnly);  // a file where its folder goes
    const Autostart blocked(home.filePath("blocked/kestrum.desktop"), "/usr/bin/kestrum");
    EXPECT_TRUE(blocked.setEnabled(true).contains("could not be written"));
}

TEST(AutostartTest, ExecQuotesPathsWithReservedCharacters) {
    EXPECT_EQ(desktopExecQuoted("/home/mari/my build/kestrum"), "\"/home/mari/my build/kestrum\"");
    EXPECT_EQ(desktopExecQuoted("/home/x/$HOME/k"), "\"/home/x/\\\\$HOME/k\"");
    EXPECT_EQ(desktopExecQuoted("/home/x/a\"`b/k"), "\"/home/x/a\\\\\"\\\\`b/k\"");
    EXPECT_EQ(desktopExecQuoted("/home/x/100%/k"), "/home/x/100%%/k");
}

}  // namespace
}  // namespace kestrum
