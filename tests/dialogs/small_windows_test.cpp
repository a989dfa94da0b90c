#include "core/juhtpult_window.h"
#include "device/simulated_board_window.h"
#include "dialogs/ajad_dialog.h"
#include "dialogs/inputs_set_dialog.h"
#include "dialogs/legal_window.h"
#include "dialogs/seaded_dialog.h"
#include "dialogs/skeem_window.h"
#include "log/logitekst_window.h"
#include "support/printers.h"
#include "support/program_on_doubles.h"
#include "support/widget_lookup.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <memory>

namespace kestrum {
namespace {

using testing::child;
using testing::click;

class SmallWindowsTest : public ::testing::Test {
protected:
    SmallWindowsTest() {
        setup.start();
        setup.ui.messages.clear();
    }
    testing::ProgramOnDoubles setup;
};

TEST_F(SmallWindowsTest, InputNameRuleAndMailFlagReachTheStoreOnlyAtStop) {
    setup.program->state().EditIndex = 2;
    InputsSetDialog dialog(setup.program->inputSettings());
    dialog.show();
    child<QLineEdit>(&dialog, "SisendiNimiText")->setText("Thirteen-ch13");
    click(&dialog, "ComOK");
    ASSERT_EQ(setup.ui.messages.size(), 1U);
    EXPECT_EQ(setup.ui.messages[0].text, "Name longer than 12 charachters !");

    child<QLineEdit>(&dialog, "SisendiNimiText")->setText("Door");
    child<QCheckBox>(&dialog, "MailCheck")->setChecked(true);
    click(&dialog, "ComOK");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(setup.memory.read("SisendiNimi", "SisendiNimi 2"), "Door        ");
    EXPECT_EQ(setup.program->panel().inputs[1].frameCaption, "Door        ");
    EXPECT_TRUE(setup.program->panel().inputs[1].mailMarkShown);
    EXPECT_EQ(setup.memory.read("SisendiMuutuseMail", "SisendiMuutuseMail 2"), "0");
    for (const int n : {2, 3}) {
        setup.program->state().EditIndex = n;
        InputsSetDialog reopened(setup.program->inputSettings());
        EXPECT_EQ(child<QCheckBox>(&reopened, "MailCheck")->isChecked(), n == 2) << n;
    }
    setup.program->lifecycle().ShutDown();
    EXPECT_EQ(setup.memory.read("SisendiMuutuseMail", "SisendiMuutuseMail 2"), "1");
}

// A missing or empty log shows nothing but the message; deleting asks first.
TEST_F(SmallWindowsTest, LogViewerShowsTheFileOrSaysThereIsNone) {
    LogViewer& viewer = setup.program->logViewer();
    {
        LogiTekstWindow missing(viewer);
        ASSERT_EQ(setup.ui.messages.size(), 1U);
        EXPECT_EQ(setup.ui.messages[0].text, QDir::toNativeSeparators(setup.logPath()) +
                                                 QStringLiteral("\r\nLogifaili ei ole veel."));
    }
    QFile file(setup.logPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    { LogiTekstWindow empty(viewer); }
    EXPECT_EQ(setup.ui.messages.size(), 2U) << "an empty log is none either";
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("first\r\n second \xF5\r\n");
    file.close();
    {
        LogiTekstWindow full(viewer);
        EXPECT_EQ(child<QPlainTextEdit>(&full, "LogText")->toPlainText(), "first\n second õ\n");
    }
    EXPECT_EQ(setup.ui.messages.size(), 2U);

    setup.ui.nextYesNoAnswer = MessageAnswer::No;
    viewer.ComKill_Click();
    EXPECT_TRUE(QFile::exists(setup.logPath()));
    setup.ui.nextYesNoAnswer = MessageAnswer::Yes;
    viewer.ComKill_Click();
    EXPECT_FALSE(QFile::exists(setup.logPath()));
}

// A 1366x768 screen less a task bar of 30 pixels holds every window with its frame (a title
// bar of 30 pixels, borders of 4).
TEST_F(SmallWindowsTest, EveryWindowFitsA1366By768Screen) {
    const QSize screen(1366, 768);
    const QSize room(screen.width() - 8, screen.height() - 30 - 34);
    Program& program = *setup.program;
    SeadedDialog::Links links;
    links.deviceOf = [](int) { return QStringLiteral("/dev/ttyS0"); };
    links.listDevices = [] { return QList<SerialDeviceChoice>{}; };
    links.editMailAccount = [](QWidget*) {};
    links.startsAtLogin = [] { return false; };
    links.editMqtt = [](QWidget*) {};
    program.generalSettings().beginEdit(1);  // the output and input windows edit one
    std::unique_ptr<QWidget> windows[] = {
        std::make_unique<JuhtpultWindow>(program.panel(), program),
        std::make_unique<SeadedDialog>(program.generalSettings(), links),
        std::make_unique<AjadDialog>(program.outputSettings()),
        std::make_unique<InputsSetDialog>(program.inputSettings()),
        std::make_unique<LogiTekstWindow>(program.logViewer()),
        std::make_unique<SkeemWindow>(setup.ui, screen),
        std::make_unique<LegalWindow>(),
        std::make_unique<SimulatedBoardWindow>(setup.board),
    };
    for (const auto& window : windows) {
        window->show();
        const QSize size = window->size().expandedTo(window->minimumSizeHint());
        EXPECT_TRUE(size.width() <= room.width() && size.height() <= room.height())
            << window->windowTitle().toStdString() << " " << size.width() << "x" << size.height();
    }
}

}  // namespace
}  // namespace kestrum
