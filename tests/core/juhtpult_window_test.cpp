#include "core/juhtpult_window.h"
#include "core/lamp_widget.h"
#include "support/printers.h"
#include "support/rig.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

class JuhtpultWindowTest : public ::testing::Test {
protected:
    JuhtpultWindowTest() {
        rig.memory.write(QStringLiteral("KlahviNimi"), QStringLiteral("KlahviNimi 1"),
                         QStringLiteral("Pump        "));
        rig.memory.write(QStringLiteral("SisendiNimi"), QStringLiteral("SisendiNimi 1"),
                         QStringLiteral("Uks"));
        rig.memory.write(QStringLiteral("Seaded"), QStringLiteral("Logi"), QStringLiteral("1"));
        rig.build();
        window = std::make_unique<JuhtpultWindow>(rig.program->panel(), *rig.program);
        rig.program->lifecycle().Form_Load();
        window->show();
        rig.ui.messages.clear();
    }
    template <typename T>
    T* child(const QString& name) const {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QPushButton* relee(int index) const {
        return child<QPushButton>(QStringLiteral("Relee%1").arg(index));
    }
    void key(QWidget* target, char c) { QTest::keyClick(target, c); }
    QString stored(const char* section, const QString& key) const {
        return rig.memory.read(QString::fromUtf8(section), key);
    }

    testing::Rig rig;
    std::unique_ptr<JuhtpultWindow> window;
};

TEST_F(JuhtpultWindowTest, ShowsTheLoadedNamesAndTexts) {
    EXPECT_EQ(window->windowTitle(), "Kestrum - 2.0.0");
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("Frame1"))->title(), "Pump        ");
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("Frame2"))->title(), "Väljund  2");
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("Frame9_0"))->title(), "Uks");
    EXPECT_EQ(relee(0)->toolTip(), "for switching output ON (S) or OFF (V)");
    EXPECT_EQ(child<QToolButton>(QStringLiteral("Auto7"))->toolTip(),
              "Switch this output to timer controll");
    EXPECT_EQ(child<QLabel>(QStringLiteral("Picture17"))->toolTip(), "Output FAIL warning");
    EXPECT_EQ(child<QToolButton>(QStringLiteral("ComOFF"))->toolTip(), "All outputs OFF");
    EXPECT_EQ(child<QPushButton>(QStringLiteral("ComLisad"))->toolTip(),
              "Lülitamise kellaaegade jms. seadmine");
    EXPECT_EQ(child<QPushButton>(QStringLiteral("ComLegal"))->toolTip(), "Info programmi kohta");
    EXPECT_EQ(child<QPushButton>(QStringLiteral("ComLopp"))->toolTip(), "Töö lõpetamine");
    EXPECT_EQ(child<QToolButton>(QStringLiteral("Image1"))->toolTip(), "Check mail NOW!!!");
    EXPECT_EQ(child<QLabel>(QStringLiteral("Label3"))->text(), "Inputs");
    EXPECT_EQ(child<QLabel>(QStringLiteral("PortLabel"))->text(), "1");
    EXPECT_LE(window->sizeHint().width(), 1024);
    EXPECT_LE(window->sizeHint().height(), 768);
}

TEST_F(JuhtpultWindowTest, SwitchButtonTurnsTheOutputOnEverywhere) {
    rig.program->state().Juhtimine[3] = 1;
    QTest::mouseClick(relee(2), Qt::LeftButton);
    EXPECT_EQ(relee(2)->text(), "V");
    EXPECT_EQ(child<LampWidget>(QStringLiteral("LEDSV2"))->colour(), QColor(Qt::red));
    EXPECT_TRUE(rig.board.relay(3));
    EXPECT_EQ(stored("Väljundid", QStringLiteral("Väljundid 3")), "1");
    EXPECT_TRUE(rig.program->state().Juhtimine[3] == 0);
    EXPECT_FALSE(child<LampWidget>(QStringLiteral("LEDAUTO2"))->isLit());
}

TEST_F(JuhtpultWindowTest, DigitKeysSwitchWhateverHasTheFocus) {
    relee(0)->setFocus();
    key(relee(0), '8');
    EXPECT_TRUE(rig.board.relay(8));
    EXPECT_FALSE(rig.board.relay(1));
    key(child<QPushButton>(QStringLiteral("ComLopp")), '8');
    EXPECT_FALSE(rig.board.relay(8));

    for (char c : {'9', '0', 'a', 'S', ' ', '\r'}) {
        key(relee(0), c);
    }
    QTest::keyClick(relee(0), Qt::Key_Space);
    QTest::keyClick(relee(0), Qt::Key_Return);
    for (int k = 1; k <= 8; ++k) {
        EXPECT_FALSE(rig.board.relay(k)) << k;
    }
    EXPECT_FALSE(rig.program->lifecycle().hasShutDown()) << "no key pressed a button";
}

TEST_F(JuhtpultWindowTest, AutoWithoutTimesTellsAndKeepsManual) {
    QTest::mouseClick(child<QToolButton>(QStringLiteral("Auto1")), Qt::LeftButton);
    ASSERT_EQ(rig.ui.messages.size(), 1U);
    EXPECT_EQ(rig.ui.messages[0].title, "Kaugvoolus");
    EXPECT_FALSE(child<LampWidget>(QStringLiteral("LEDAUTO1"))->isLit());

    rig.program->state().Initsialiseeritud[2] = 1;
    QTest::mouseClick(child<QToolButton>(QStringLiteral("Auto1")), Qt::LeftButton);
    EXPECT_TRUE(child<LampWidget>(QStringLiteral("LEDAUTO1"))->isLit());
    EXPECT_EQ(stored("Juhtimine", QStringLiteral("Juhtimine 2")), "1");
    QTest::mouseClick(child<QToolButton>(QStringLiteral("Auto1")), Qt::LeftButton);
    EXPECT_FALSE(child<LampWidget>(QStringLiteral("LEDAUTO1"))->isLit());
    EXPECT_EQ(stored("Juhtimine", QStringLiteral("Juhtimine 2")), "0");
}

TEST_F(JuhtpultWindowTest, AllOffButtonTurnsEveryRelayOff) {
    rig.memory.write(QStringLiteral("Seaded"), QStringLiteral("MailEnabled"), QStringLiteral("1"));
    QTest::mouseClick(relee(0), Qt::LeftButton);
    QTest::mouseClick(relee(5), Qt::LeftButton);
    QTest::mouseClick(child<QToolButton>(QStringLiteral("ComOFF")), Qt::LeftButton);
    for (int k = 1; k <= 8; ++k) {
        EXPECT_FALSE(rig.board.relay(k)) << k;
    }
    EXPECT_EQ(rig.seaded(QStringLiteral("MailEnabled")), "0");
    EXPECT_EQ(relee(0)->text(), "S");
    EXPECT_EQ(stored("Väljundid", QStringLiteral("Väljundid 6")), "1");
}

TEST_F(JuhtpultWindowTest, IndicatorsFollowThePanel) {
    Panel& panel = rig.program->panel();
    panel.outputs[4].failureShown = true;
    panel.mailIndicatorShown = true;
    panel.inputs[3].lampLit = true;
    panel.inputs[6].mailMarkShown = true;
    panel.failureLabel = QStringLiteral("Hardware failure");
    panel.portErrorText = QStringLiteral("Cannot open /dev/ttyUSB0: Permission denied.");
    panel.changed();
    EXPECT_TRUE(child<QLabel>(QStringLiteral("Picture14"))->isVisible());
    EXPECT_FALSE(child<QLabel>(QStringLiteral("Picture13"))->isVisible());
    EXPECT_TRUE(child<QToolButton>(QStringLiteral("Image1"))->isVisible());
    EXPECT_TRUE(child<LampWidget>(QStringLiteral("Sisend3"))->isLit());
    EXPECT_TRUE(child<QLabel>(QStringLiteral("Image26"))->isVisible());
    EXPECT_EQ(child<QLabel>(QStringLiteral("ErrLabel"))->text(), "Hardware failure");
    EXPECT_EQ(child<QLabel>(QStringLiteral("PortLabel"))->toolTip(), panel.portErrorText);

    rig.time.advance(20);
    EXPECT_EQ(child<QLabel>(QStringLiteral("Kell"))->text(), "12:00:00");
    EXPECT_EQ(child<QLabel>(QStringLiteral("Kuupaev"))->text(), " 6. Dec. 2026");
}

TEST_F(JuhtpultWindowTest, MinimisingHidesOnlyWithATray) {
    window->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isVisible()) << "no tray: the window stays in the task bar";

    window->showNormal();
    window->setHidesWhenMinimised(true);
    window->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    window->restoreFromTray();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
}

TEST_F(JuhtpultWindowTest, ExitAndClosingStopOnce) {
    QTest::mouseClick(child<QPushButton>(QStringLiteral("ComLopp")), Qt::LeftButton);
    EXPECT_TRUE(rig.program->lifecycle().hasShutDown());
    EXPECT_TRUE(rig.ui.calls.contains(QStringLiteral("unload")));
    window->close();  // what unloading the window does
    window->close();
    EXPECT_EQ(rig.ui.calls.count(QStringLiteral("tray- Kaugvool")), 1);
    EXPECT_EQ(rig.logBytes().count("Kestrum stopped"), 1);
}

}  // namespace
}  // namespace kestrum
