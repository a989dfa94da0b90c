#include "app/autostart.h"

#include <QFile>
#include <QTemporaryDir>

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(AutostartTest, TheEntryIsWrittenAndRemovedAndIsTheOnlyState) {
    QTemporaryDir home;
    const QString entry = home.filePath("autostart/kestrum.desktop");
    const Autostart autostart(entry, "/usr/bin/kestrum");
    EXPECT_FALSE(autostart.enabled());
    EXPECT_EQ(autostart.setEnabled(true), "");
    EXPECT_TRUE(autostart.enabled());
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\nExec=/usr/bin/kestrum\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_EQ(autostart.setEnabled(false), "");
    EXPECT_FALSE(autostart.enabled());
    EXPECT_EQ(autostart.setEnabled(false), "") << "nothing to remove is no failure";
}

TEST(AutostartTest, AnEntryThatCannotBeWrittenGivesTheReason) {
    QTemporaryDir home;
    QFile(home.filePath("autostart")).open(QIODevice::WriteOnly);
    const Autostart autostart(home.filePath("autostart/kestrum.desktop"),
                              QStringLiteral("/usr/bin/kestrum"));
    EXPECT_TRUE(autostart.setEnabled(true).contains("could not be written"));
    EXPECT_FALSE(autostart.enabled());
}

TEST(AutostartTest, ExecQuotesPathsWithReservedCharacters) {
    EXPECT_EQ(desktopExecQuoted("/opt/kestrum/bin/kestrum"), "/opt/kestrum/bin/kestrum");
    EXPECT_EQ(desktopExecQuoted("/home/mari/my build/kestrum"), "\"/home/mari/my build/kestrum\"");
    EXPECT_EQ(desktopExecQuoted("/home/x/$HOME/k"), "\"/home/x/\\\\$HOME/k\"");
    EXPECT_EQ(desktopExecQuoted("/home/x/100%/k"), "/home/x/100%%/k");
}

}  // namespace
}  // namespace kestrum
