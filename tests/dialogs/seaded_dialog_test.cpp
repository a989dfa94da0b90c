#include "dialogs/seaded_dialog.h"
#include "app/autostart.h"
#include "device/qt_serial_port.h"
#include "dialogs/ajad_dialog.h"
#include "support/printers.h"
#include "support/rig.h"
#include "support/widget_lookup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace kestrum {
namespace {

using testing::child;
using testing::click;

class SeadedDialogTest : public ::testing::Test {
protected:
    SeadedDialogTest() {
        rig.start();
        rig.ui.messages.clear();
    }
    std::unique_ptr<SeadedDialog> open(SeadedDialog::Doors doors = {}) {
        if (!doors.deviceOf) {
            doors.deviceOf = [](int n) { return QStringLiteral("/dev/ttyS%1").arg(n - 1); };
        }
        auto dialog = std::make_unique<SeadedDialog>(rig.program->generalSettings(), doors);
        dialog->show();
        return dialog;
    }
    static void type(QWidget* window, const char* name, const QString& text) {
        child<QLineEdit>(window, name)->setText(text);
    }
    static void check(QWidget* window, const char* name, bool on) {
        child<QCheckBox>(window, name)->setChecked(on);
    }
    QString stored(const char* key) const { return rig.seaded(QString::fromUtf8(key)); }
    QStringList titles() const {
        QStringList all;
        for (const auto& m : rig.ui.messages) {
            all << m.text;
        }
        return all;
    }

    testing::Rig rig;
};

TEST_F(SeadedDialogTest, PortZeroOrMissingShowsComOne) {
    const char* const ports[] = {"0", nullptr};
    for (const char* port : ports) {
        if (port) {
            rig.memory.write(QStringLiteral("Seaded"), QStringLiteral("Järjestikport"),
                             QLatin1String(port));
        } else {
            rig.memory.deleteSection(QStringLiteral("Seaded"));
        }
        auto dialog = open();
        EXPECT_EQ(child<QComboBox>(dialog.get(), "PortCombo")->currentText(), "Com1");
        EXPECT_EQ(child<QComboBox>(dialog.get(), "PortDeviceCombo")->currentText(), "/dev/ttyS0");
    }
}

TEST_F(SeadedDialogTest, FirstAddressIsNeededOnlyWhenListeningToIt) {
    auto dialog = open();
    check(dialog.get(), "MailEnabledCheck", false);
    click(dialog.get(), "ComOK");
    EXPECT_FALSE(dialog->isVisible()) << "an empty first address is fine when not required";

    dialog = open();
    check(dialog.get(), "MailEnabledCheck", true);
    check(dialog.get(), "PrefAdrOnlyCheck", true);
    type(dialog.get(), "PrefAdrText", QString());
    type(dialog.get(), "PrefAdrText1", QStringLiteral("b@example.org"));
    click(dialog.get(), "ComOK");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(titles(), QStringList({"1. eelistatud aadressi väli on tühi!"}));
    EXPECT_EQ(rig.ui.messages[0].title, "Kaugvoole seadete viga...");
    EXPECT_EQ(rig.ui.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(rig.ui.calls.contains(QStringLiteral("beep")));
    EXPECT_EQ(stored("MailEnabled"), "1");
    EXPECT_EQ(stored("PrefAdrOnly"), "1");
    EXPECT_EQ(stored("PrefAdrText1"), "") << "steps after the check were not taken";
    EXPECT_TRUE(rig.program->panel().mailIndicatorShown);
}

TEST_F(SeadedDialogTest, MailOnNeedsAPasswordButBlanksAreOne) {
    auto dialog = open();
    check(dialog.get(), "MailEnabledCheck", true);
    child<QComboBox>(dialog.get(), "MailCheckIntList")->setCurrentIndex(1);
    type(dialog.get(), "SubjectText", QString());
    click(dialog.get(), "ComOK");
    EXPECT_EQ(titles(), QStringList({"Tunnussõna väli on tühi!"}));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(rig.program->state().MailCountdown == 10) << "the mail timer step came before";
    EXPECT_TRUE(rig.program->timers().PostiKell->isEnabled());
    EXPECT_EQ(rig.program->timers().PostiKell->interval(), 60000);

    type(dialog.get(), "SubjectText", QStringLiteral("   "));
    check(dialog.get(), "LogCheck", true);
    check(dialog.get(), "VerifiedSendersCheck", true);
    type(dialog.get(), "AuthServIdText", QStringLiteral(" mx.example.org "));
    click(dialog.get(), "ComOK");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(stored("VerifiedSenders"), "1");
    EXPECT_EQ(stored("AuthServId"), "mx.example.org");
    EXPECT_TRUE(rig.program->state().VerifiedSenders == 1);
    EXPECT_EQ(stored("Subjekt"), "   ");
    EXPECT_EQ(stored("MailCheckInt"), "1");
    EXPECT_EQ(stored("Logi"), "1");
    EXPECT_TRUE(rig.program->state().Logi == 1);
}

TEST_F(SeadedDialogTest, PortThatCannotBeOpenedKeepsThePreviousOne) {
    rig.board.setPortAvailable(3, false);
    auto dialog = open();
    check(dialog.get(), "MailEnabledCheck", true);
    type(dialog.get(), "PrefAdrText", QStringLiteral("owner@example.org"));
    type(dialog.get(), "SubjectText", QStringLiteral("tuulelipp"));
    child<QComboBox>(dialog.get(), "PortCombo")->setCurrentIndex(2);
    click(dialog.get(), "ComOK");
    EXPECT_EQ(titles(), QStringList({"Valitud pordi aktiveerimine ei õnnestunud"}));
    EXPECT_EQ(rig.ui.messages[0].title, "Kaugvoolus");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(rig.board.commPort(), 1);
    EXPECT_EQ(rig.program->panel().portLabel, "1");
    EXPECT_EQ(child<QComboBox>(dialog.get(), "PortCombo")->currentText(), "Com1");
    EXPECT_EQ(stored("Järjestikport"), "1");
    EXPECT_EQ(stored("PrefAdrText"), "owner@example.org");
    EXPECT_EQ(stored("MailEnabled"), "1");
}

// The board must stay where it is: OK without touching the port keeps the stored one, in the
// store and on the board, whichever it is.
TEST(SeadedDialogPortTest, OkKeepsTheStoredPortInTheStoreAndOnTheBoard) {
    for (int port = 1; port <= 4; ++port) {
        testing::Rig rig;
        rig.memory.write(QStringLiteral("Seaded"), QStringLiteral("Järjestikport"),
                         QString::number(port));
        for (int other = 1; other <= 4; ++other) {
            rig.board.setPortAvailable(other, other == port);
        }
        rig.start();
        SeadedDialog dialog(rig.program->generalSettings(), SeadedDialog::Doors{});
        dialog.show();
        EXPECT_EQ(child<QComboBox>(&dialog, "PortCombo")->currentText(),
                  QStringLiteral("Com%1").arg(port));
        click(&dialog, "ComOK");
        EXPECT_FALSE(dialog.isVisible()) << port;
        EXPECT_EQ(rig.seaded(QStringLiteral("Järjestikport")), QString::number(port));
        rig.program->switchClicked(0);
        EXPECT_TRUE(rig.board.relay(1)) << "the board on port " << port << " is still driven";
        EXPECT_EQ(rig.program->panel().portLabel, QString::number(port));
        rig.board.setInput(1, true);
        rig.time.advance(250);
        EXPECT_TRUE(rig.program->panel().inputs[0].lampLit) << "the scans go on after the test";
    }
}

TEST_F(SeadedDialogTest, PortTestOpensTheChosenPortEvenWhileAScanHoldsThePort) {
    rig.board.setPortAvailable(3, false);
    rig.time.advance(BoardLink::kScanPeriodMs + BoardLink::kSettleWaitMs / 2);
    ASSERT_TRUE(rig.board.portOpen()) << "a scan waits for the board to settle";
    auto dialog = open();
    child<QComboBox>(dialog.get(), "PortCombo")->setCurrentIndex(2);
    click(dialog.get(), "ComOK");
    EXPECT_EQ(titles(), QStringList({"Valitud pordi aktiveerimine ei õnnestunud"}));
    EXPECT_EQ(stored("Järjestikport"), "1");
    EXPECT_EQ(rig.board.commPort(), 1);

    rig.board.setInput(4, true);
    rig.time.advance(BoardLink::kSettleWaitMs);
    EXPECT_TRUE(rig.program->panel().inputs[3].lampLit) << "the scan went on, on port 1";
}

// A serial device with nothing behind it: it opens, and that is all the port test asks.
class BareTerminal {
public:
    BareTerminal() : m_master(posix_openpt(O_RDWR | O_NOCTTY)) {
        grantpt(m_master);
        unlockpt(m_master);
    }
    ~BareTerminal() { ::close(m_master); }
    BareTerminal(const BareTerminal&) = delete;
    BareTerminal& operator=(const BareTerminal&) = delete;
    QString deviceName() const { return QString::fromLocal8Bit(ptsname(m_master)); }

private:
    int m_master;
};

// The device is stored before the port test, so the test opens it through the real driver; a
// device that does not open is refused and not left behind its port number.
TEST(SeadedDialogDeviceTest, TheChosenDeviceIsStoredAndTestedOnOk) {
    const BareTerminal first;
    const BareTerminal chosen;
    testing::Rig rig;
    QtSerialPort port(rig.memory);
    rig.port = &port;
    const auto device = [&](int n) {
        return rig.memory.read(QStringLiteral("Pordid"), QStringLiteral("Port %1").arg(n));
    };
    rig.memory.write(QStringLiteral("Pordid"), QStringLiteral("Port 1"), first.deviceName());
    rig.start();
    SeadedDialog::Doors doors;
    doors.deviceOf = [&](int n) { return serialDeviceName(rig.memory, n); };
    doors.listDevices = [&] {
        return QList<SerialDeviceChoice>{{chosen.deviceName(), QStringLiteral("USB adapter")},
                                         {QStringLiteral("/dev/kestrum-none"), {}}};
    };
    for (const bool opens : {false, true}) {
        SeadedDialog dialog(rig.program->generalSettings(), doors);
        dialog.show();
        child<QComboBox>(&dialog, "PortCombo")->setCurrentIndex(2);
        auto* devices = child<QComboBox>(&dialog, "PortDeviceCombo");
        const int listed = opens ? 0 : 1;
        devices->setCurrentIndex(listed);
        Q_EMIT devices->activated(listed);
        click(&dialog, "ComOK");
        EXPECT_EQ(dialog.isVisible(), !opens);
        EXPECT_EQ(rig.seaded(QStringLiteral("Järjestikport")), opens ? "3" : "1");
        EXPECT_EQ(device(3), opens ? chosen.deviceName() : QString());
    }
    EXPECT_EQ(port.deviceName(), chosen.deviceName());
}

TEST_F(SeadedDialogTest, StartingAtLogInWritesAndRemovesTheAutostartEntry) {
    const QTemporaryDir config;
    const QString entry = config.filePath(QStringLiteral("autostart/kestrum.desktop"));
    const Autostart autostart(entry, QStringLiteral("/usr/bin/kestrum"));
    SeadedDialog::Doors doors;
    doors.startsAtLogin = [&] { return autostart.enabled(); };
    doors.setStartAtLogin = [&](bool on) { return autostart.setEnabled(on); };
    for (const bool on : {true, false}) {
        auto dialog = open(doors);
        EXPECT_EQ(child<QCheckBox>(dialog.get(), "StartAtLoginCheck")->isChecked(), !on);
        check(dialog.get(), "StartAtLoginCheck", on);
        click(dialog.get(), "ComOK");
        QFile file(entry);
        EXPECT_EQ(file.open(QIODevice::ReadOnly), on);
        EXPECT_EQ(file.readAll().contains("\nExec=/usr/bin/kestrum\n"), on);
    }
}

TEST_F(SeadedDialogTest, OpeningReadsTheStoreAndCancelShowsTheNamesInMemory) {
    rig.memory.write(QStringLiteral("Seaded"), QStringLiteral("PrefAdrText"),
                     QStringLiteral("from@store.example"));
    SeadedDialog::Doors doors;
    doors.editOutput = [&](QWidget*) {
        AjadDialog ajad(rig.program->outputSettings());
        ajad.show();
        child<QLineEdit>(&ajad, "KlahviNimiText")->setText(QStringLiteral("Pump"));
        click(&ajad, "ComOK");
    };
    auto dialog = open(doors);
    EXPECT_EQ(child<QLineEdit>(dialog.get(), "PrefAdrText")->text(), "from@store.example");
    EXPECT_EQ(child<QPushButton>(dialog.get(), "ComIn8")->text(), "Sisend 8    ");
    click(dialog.get(), "ComRelee2");
    EXPECT_EQ(child<QPushButton>(dialog.get(), "ComRelee2")->text(), "Pump        ");
    click(dialog.get(), "ComCancel");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(rig.program->panel().outputs[1].frameCaption, "Pump        ");
}

}  // namespace
}  // namespace kestrum
