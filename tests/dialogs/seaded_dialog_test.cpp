#include "dialogs/seaded_dialog.h"
#include "device/qt_serial_port.h"
#include "dialogs/ajad_dialog.h"
#include "support/bare_terminal.h"
#include "support/printers.h"
#include "support/program_on_doubles.h"
#include "support/widget_lookup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

using testing::child;
using testing::click;

class SeadedDialogTest : public ::testing::Test {
protected:
    SeadedDialogTest() {
        setup.start();
        setup.ui.messages.clear();
    }
    std::unique_ptr<SeadedDialog> open(SeadedDialog::Links links = {}) {
        auto opened = std::make_unique<SeadedDialog>(setup.program->generalSettings(), links);
        opened->show();
        return opened;
    }
    void type(const char* name, const QString& text) {
        child<QLineEdit>(dialog.get(), name)->setText(text);
    }
    void check(const char* name, bool on) { child<QCheckBox>(dialog.get(), name)->setChecked(on); }
    bool checked(const char* name) { return child<QCheckBox>(dialog.get(), name)->isChecked(); }
    QString stored(const char* key) const { return setup.seaded(QString::fromUtf8(key)); }
    QString toldLast() const {
        return setup.ui.messages.empty() ? QString() : setup.ui.messages.back().text;
    }

    testing::ProgramOnDoubles setup;
    std::unique_ptr<SeadedDialog> dialog;
};

// Each check stops OK where it stands: the steps before it are taken, those after it are not.
TEST_F(SeadedDialogTest, OkChecksTheAddressThenThePortThenThePasswordThenStores) {
    setup.set("Seaded", "Järjestikport", "0");
    setup.set("Seaded", "Logi", "1");
    dialog = open();
    auto* port = child<QComboBox>(dialog.get(), "PortCombo");
    EXPECT_EQ(port->currentText(), "Com1");
    EXPECT_TRUE(checked("LogCheck"));
    EXPECT_FALSE(checked("ControlCheck"));
    check("MailEnabledCheck", true);
    check("PrefAdrOnlyCheck", true);
    type("PrefAdrText1", "b@example.org");
    click(dialog.get(), "ComOK");
    EXPECT_EQ(toldLast(), "1. eelistatud aadressi väli on tühi!");
    EXPECT_EQ(setup.ui.messages.back().title, "Kaugvoole seadete viga...");
    EXPECT_EQ(stored("PrefAdrOnly"), "1");
    EXPECT_EQ(stored("PrefAdrText1"), "") << "steps after the check were not taken";

    // The port test opens the chosen port even while a scan holds the current one.
    setup.board.setPortAvailable(3, false);
    setup.time.advance(BoardLink::kScanPeriodMs + BoardLink::kSettleWaitMs / 2);
    ASSERT_TRUE(setup.board.portOpen()) << "a scan waits for the board to settle";
    type("PrefAdrText", "a@example.org");
    port->setCurrentIndex(2);
    click(dialog.get(), "ComOK");
    EXPECT_EQ(toldLast(),
              "Valitud pordi aktiveerimine ei õnnestunud\n\nCannot open simulated "
              "board, port 3: the port is not available.");
    EXPECT_EQ(setup.ui.messages.back().title, "Kaugvoolus");
    EXPECT_EQ(port->currentText(), "Com1");
    EXPECT_EQ(stored("PrefAdrText"), "a@example.org");
    EXPECT_EQ(setup.board.commPort(), 1);
    setup.board.setInput(4, true);
    setup.time.advance(BoardLink::kSettleWaitMs);
    EXPECT_TRUE(setup.program->panel().inputs[3].lampLit) << "the scan went on, on port 1";

    child<QComboBox>(dialog.get(), "MailCheckIntList")->setCurrentIndex(1);
    type("SubjectText", QString());
    click(dialog.get(), "ComOK");
    EXPECT_EQ(toldLast(), "Tunnussõna väli on tühi!");
    EXPECT_TRUE(setup.program->state().MailCountdown == 10) << "the mail timer step came before";

    type("SubjectText", "   ");  // blanks are a password
    check("ControlCheck", true);
    check("ConfirmCheck", true);
    check("VerifiedSendersCheck", true);
    type("AuthServIdText", " mx.example.org ");
    click(dialog.get(), "ComOK");
    EXPECT_FALSE(dialog->isVisible());
    for (const auto& [key, text] : {std::pair{"PrefAdrText1", "b@example.org"},
                                    {"Järjestikport", "1"},
                                    {"VerifiedSenders", "1"},
                                    {"AuthServId", "mx.example.org"},
                                    {"Subjekt", "   "},
                                    {"MailCheckInt", "1"},
                                    {"Confirm", "1"},
                                    {"ControlEnabled", "1"}}) {
        EXPECT_EQ(stored(key), text) << key;
    }
}

// With mail control on and no gate, anyone who can mail the account switches the loads: OK
// asks first, and No leaves the store and the window as they were.
TEST_F(SeadedDialogTest, OkWithMailControlAndNoGateAsksBeforeSaving) {
    dialog = open();
    check("MailEnabledCheck", true);
    check("LogCheck", true);
    const int writes = setup.memory.writeCount();
    click(dialog.get(), "ComOK");
    ASSERT_EQ(setup.ui.messages.size(), 1U);
    EXPECT_EQ(setup.ui.messages.back().buttons, MessageButtons::YesNo);
    for (const char* said :
         {"anyone who can send a mail to the account", "Require password",
          "Listen only following adresses", "Only if my mail server verified the sender"}) {
        EXPECT_TRUE(toldLast().contains(QString::fromUtf8(said))) << said;
    }
    EXPECT_EQ(setup.memory.writeCount(), writes) << "nothing is saved on No";
    EXPECT_TRUE(dialog->isVisible());

    setup.ui.nextYesNoAnswer = MessageAnswer::Yes;
    click(dialog.get(), "ComOK");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(stored("MailEnabled"), "1");
    EXPECT_EQ(stored("Logi"), "1");
}

// A store that fails once the port was chosen is named as such, and store and board agree on
// the port: the previous one when the port's own value was not kept, else the new one.
TEST(SeadedDialogStoreTest, AFailingStoreIsToldApartFromARefusedPort) {
    // OK stores the eight mail values, remote control and the place before the port's.
    for (const auto& [goodWrites, port] : {std::pair{11, 1}, {12, 3}}) {
        testing::ProgramOnDoubles setup;
        setup.set("Seaded", "ParoolLubatud", "1");  // a gate, so that OK does not ask
        setup.start();
        SeadedDialog dialog(setup.program->generalSettings(), SeadedDialog::Links{});
        dialog.show();
        auto* portCombo = child<QComboBox>(&dialog, "PortCombo");
        portCombo->setCurrentIndex(2);
        setup.memory.failWriteAfter("Seaded", goodWrites);
        click(&dialog, "ComOK");
        const auto& told = setup.ui.messages.back();
        EXPECT_EQ(told.title, "Kaugvoole seadete viga...");
        EXPECT_TRUE(told.text.startsWith("The settings could not be saved: section made to fail"))
            << told.text.toStdString();
        EXPECT_TRUE(told.text.contains(QStringLiteral("port %1,").arg(port)));
        EXPECT_EQ(setup.seaded("Järjestikport"), QString::number(port));
        EXPECT_EQ(setup.board.commPort(), port);
        EXPECT_EQ(setup.program->panel().portLabel, QString::number(port));
        EXPECT_EQ(portCombo->currentIndex(), port - 1);
        EXPECT_TRUE(dialog.isVisible());
    }
}

// OK without touching the port keeps the stored one, in the store and on the board.
TEST(SeadedDialogPortTest, OkKeepsTheStoredPortInTheStoreAndOnTheBoard) {
    for (int port = 1; port <= 4; ++port) {
        testing::ProgramOnDoubles setup;
        setup.set("Seaded", "Järjestikport", QString::number(port));
        for (int other = 1; other <= 4; ++other) {
            setup.board.setPortAvailable(other, other == port);
        }
        setup.start();
        SeadedDialog dialog(setup.program->generalSettings(), SeadedDialog::Links{});
        dialog.show();
        click(&dialog, "ComOK");
        EXPECT_EQ(setup.seaded("Järjestikport"), QString::number(port));
        setup.program->switchClicked(0);
        EXPECT_TRUE(setup.board.relay(1)) << "the board on port " << port << " is still driven";
    }
}

// The device is stored before the port test, so the test opens it through the real driver; a
// device that does not open is refused and not left behind its port number.
TEST(SeadedDialogDeviceTest, TheChosenDeviceIsStoredAndTestedOnOk) {
    const testing::BareTerminal first;
    const testing::BareTerminal chosen;
    testing::ProgramOnDoubles setup;
    QtSerialPort port(setup.memory);
    setup.port = &port;
    setup.set("Pordid", "Port 1", first.deviceName());
    setup.start();
    SeadedDialog::Links links;
    links.deviceOf = [&](int n) { return serialDeviceName(setup.memory, n); };
    links.listDevices = [&] {
        return QList<SerialDeviceChoice>{{chosen.deviceName(), QStringLiteral("USB adapter")},
                                         {"/dev/kestrum-none", {}}};
    };
    for (const bool opens : {false, true}) {
        SeadedDialog dialog(setup.program->generalSettings(), links);
        dialog.show();
        child<QComboBox>(&dialog, "PortCombo")->setCurrentIndex(2);
        auto* devices = child<QComboBox>(&dialog, "PortDeviceCombo");
        const int listed = opens ? 0 : 1;
        devices->setCurrentIndex(listed);
        Q_EMIT devices->activated(listed);
        click(&dialog, "ComOK");
        EXPECT_EQ(setup.seaded("Järjestikport"), opens ? "3" : "1");
        EXPECT_EQ(setup.memory.read("Pordid", "Port 3"), opens ? chosen.deviceName() : QString());
    }
    EXPECT_EQ(port.deviceName(), chosen.deviceName());
}

TEST_F(SeadedDialogTest, CancelKeepsWhatTheOtherWindowsDid) {
    bool atLogin = false;
    SeadedDialog::Links links;
    links.startsAtLogin = [&] { return atLogin; };
    links.setStartAtLogin = [&](bool on) {
        atLogin = on;
        return QString();
    };
    links.editOutput = [&](QWidget*) {
        AjadDialog ajad(setup.program->outputSettings());
        ajad.show();
        child<QLineEdit>(&ajad, "KlahviNimiText")->setText("Pump");
        click(&ajad, "ComOK");
    };
    dialog = open(links);
    check("StartAtLoginCheck", true);
    click(dialog.get(), "ComOK");
    EXPECT_TRUE(atLogin);
    dialog = open(links);
    EXPECT_TRUE(checked("StartAtLoginCheck"));
    EXPECT_EQ(child<QPushButton>(dialog.get(), "ComIn8")->text(), "Sisend 8    ");
    click(dialog.get(), "ComRelee2");
    EXPECT_EQ(child<QPushButton>(dialog.get(), "ComRelee2")->text(), "Pump        ");
    click(dialog.get(), "ComCancel");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(setup.program->panel().outputs[1].frameCaption, "Pump        ");
}

// The place of the sun times: both empty is no place; one of them alone or out of range is
// refused with the ranges, and a decimal comma is read as a point.
TEST_F(SeadedDialogTest, ThePlaceIsCheckedAndStored) {
    for (const auto& [latitude, longitude, taken] : {std::tuple{"59.437", "", false},
                                                     {"91", "24", false},
                                                     {"59", "-180.5", false},
                                                     {"59,437", " 24.7536 ", true},
                                                     {"", "", true}}) {
        setup.ui.messages.clear();
        dialog = open();
        type("LatitudeText", latitude);
        type("LongitudeText", longitude);
        click(dialog.get(), "ComOK");
        EXPECT_EQ(dialog->isVisible(), !taken) << latitude << " " << longitude;
        EXPECT_EQ(toldLast().startsWith("Asukoht vale"), !taken) << toldLast().toStdString();
        if (taken && *latitude) {
            EXPECT_EQ(stored("Latitude"), "59.437");
            EXPECT_EQ(stored("Longitude"), "24.7536");
        }
    }
    EXPECT_EQ(stored("Latitude"), "");
}

}  // namespace
}  // namespace kestrum
