#include "dialogs/circuit_geometry.h"
#include "dialogs/inputs_set_dialog.h"
#include "dialogs/legal_window.h"
#include "dialogs/skeem_window.h"
#include "log/logitekst_window.h"
#include "support/printers.h"
#include "support/rig.h"
#include "support/widget_lookup.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

using testing::child;
using testing::click;

class SmallWindowsTest : public ::testing::Test {
protected:
    SmallWindowsTest() {
        rig.start();
        rig.ui.messages.clear();
    }
    testing::Rig rig;
};

TEST_F(SmallWindowsTest, InputNameRuleAndMailFlagReachTheStoreOnlyAtStop) {
    rig.program->state().EditIndex = 2;
    InputsSetDialog dialog(rig.program->inputSettings());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Input's settings");
    child<QLineEdit>(&dialog, "SisendiNimiText")->setText(QStringLiteral("Thirteen-ch13"));
    click(&dialog, "ComOK");
    ASSERT_EQ(rig.ui.messages.size(), 1U);
    EXPECT_EQ(rig.ui.messages[0].text, "Name longer than 12 charachters !");
    EXPECT_EQ(rig.ui.messages[0].title, "Error in Kestrum's settings..");
    EXPECT_TRUE(dialog.isVisible());

    child<QLineEdit>(&dialog, "SisendiNimiText")->setText(QStringLiteral("Door"));
    child<QCheckBox>(&dialog, "MailCheck")->setChecked(true);
    click(&dialog, "ComOK");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(rig.memory.read(QStringLiteral("SisendiNimi"), QStringLiteral("SisendiNimi 2")),
              "Door        ");
    EXPECT_EQ(rig.program->panel().inputs[1].frameCaption, "Door        ");
    EXPECT_TRUE(rig.program->panel().inputs[1].mailMarkShown);
    const QString flagKey = QStringLiteral("SisendiMuutuseMail 2");
    EXPECT_EQ(rig.memory.read(QStringLiteral("SisendiMuutuseMail"), flagKey), "0");
    rig.program->lifecycle().ShutDown();
    EXPECT_EQ(rig.memory.read(QStringLiteral("SisendiMuutuseMail"), flagKey), "1");
}

TEST_F(SmallWindowsTest, LogViewerShowsTheFileOrSaysThereIsNone) {
    LogViewer& viewer = rig.program->logViewer();
    const QString expected =
        QDir::toNativeSeparators(rig.logPath()) + QStringLiteral("\r\nLogifaili ei ole veel.");
    {
        LogiTekstWindow missing(viewer);
        EXPECT_EQ(child<QPlainTextEdit>(&missing, "LogText")->toPlainText(), "");
        ASSERT_EQ(rig.ui.messages.size(), 1U);
        EXPECT_EQ(rig.ui.messages[0].text, expected);
        EXPECT_EQ(rig.ui.messages[0].icon, MessageIcon::None);
    }
    QFile file(rig.logPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    {
        LogiTekstWindow empty(viewer);
        EXPECT_EQ(rig.ui.messages.size(), 2U);
    }
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("first\r\n second \xF5\r\n");
    file.close();
    {
        LogiTekstWindow full(viewer);
        EXPECT_EQ(child<QPlainTextEdit>(&full, "LogText")->toPlainText(), "first\n second õ\n");
        EXPECT_EQ(full.windowTitle(), "Log of Kaugvool events");
    }

    rig.ui.nextYesNoAnswer = MessageAnswer::No;
    viewer.ComKill_Click();
    EXPECT_TRUE(QFile::exists(rig.logPath()));
    EXPECT_EQ(rig.ui.messages.back().text, "Kas tahad tõesti logi kustutada?");
    EXPECT_EQ(rig.ui.messages.back().title, "Logi kustutada???");
    rig.ui.nextYesNoAnswer = MessageAnswer::Yes;
    viewer.ComKill_Click();
    EXPECT_FALSE(QFile::exists(rig.logPath()));
    viewer.ComKill_Click();  // nothing to delete: nothing happens
    const auto before = rig.ui.messages.size();
    LogiTekstWindow after(viewer);
    EXPECT_EQ(rig.ui.messages.size(), before + 1);
    EXPECT_EQ(rig.ui.messages.back().text, expected);
}

TEST_F(SmallWindowsTest, CircuitWindowFollowsTheScreen) {
    const CircuitGeometry geometry = CircuitGeometry::forScreen(QSize(1000, 800));
    EXPECT_EQ(geometry.window, QSize(800, 640));
    EXPECT_EQ(geometry.verticalMaximum, 400);
    EXPECT_EQ(geometry.horizontalMaximum, 238);

    SkeemWindow window(rig.ui, QSize(1000, 800));
    window.show();
    EXPECT_EQ(window.size(), QSize(800, 640));
    EXPECT_EQ(window.windowTitle(), "Kaugvoole's hardware");
    auto* horizontal = child<QScrollBar>(&window, "HScroll1");
    auto* vertical = child<QScrollBar>(&window, "VScroll1");
    auto* picture = child<QLabel>(&window, "Image1");
    EXPECT_EQ(vertical->maximum(), 400);
    EXPECT_EQ(horizontal->maximum(), 238);
    EXPECT_EQ(picture->size(), QSize(828, 783));
    horizontal->setValue(200);
    vertical->setValue(300);
    EXPECT_EQ(picture->pos(), QPoint(-200, -300));
    horizontal->setValue(0);
    vertical->setValue(0);
    EXPECT_EQ(picture->pos(), QPoint(0, 0));

    window.resize(400, 300);  // ranges stay; positions past the new limit only beep
    vertical->setValue(300);
    EXPECT_EQ(picture->pos(), QPoint(0, 0));
    EXPECT_TRUE(rig.ui.calls.contains(QStringLiteral("beep")));
}

TEST_F(SmallWindowsTest, AboutWindowSaysWhatItIs) {
    LegalWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), "Kaugvool");
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        texts << label->text();
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("E-switch-box, driven by email, timer or manually")));
    EXPECT_TRUE(texts.contains(QStringLiteral("ver. 3.0.1- beta")));
    click(&window, "ComOK");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(child<QPushButton>(&window, "ComOK")->text(), "&So what?");
}

}  // namespace
}  // namespace kestrum
