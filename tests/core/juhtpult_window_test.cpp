#include "core/juhtpult_window.h"
#include "support/printers.h"
#include "support/program_on_doubles.h"
#include "support/widget_lookup.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

using testing::child;

// What the window adds to the engine: keys, indicators, the tray and closing. The clicks
// themselves are the engine's and are tested there.
class JuhtpultWindowTest : public ::testing::Test {
protected:
    JuhtpultWindowTest() {
        setup.set("KlahviNimi", "KlahviNimi 1", "Pump        ");
        setup.build();
        window = std::make_unique<JuhtpultWindow>(setup.program->panel(), *setup.program);
        setup.program->lifecycle().Form_Load();
        window->show();
    }
    QPushButton* relee(int index) const {
        return child<QPushButton>(window.get(), QStringLiteral("Relee%1").arg(index).toLatin1());
    }

    testing::ProgramOnDoubles setup;
    std::unique_ptr<JuhtpultWindow> window;
};

// Digit keys switch whatever has the focus and press no button; Exit and closing stop once.
TEST_F(JuhtpultWindowTest, DigitKeysSwitchAndExitAndClosingStopOnce) {
    relee(0)->setFocus();
    QTest::keyClick(relee(0), '8');
    EXPECT_TRUE(setup.board.relay(8));
    QTest::keyClick(child<QPushButton>(window.get(), "ComLopp"), '8');
    EXPECT_FALSE(setup.board.relay(8));
    for (char c : {'9', '0', 'a', ' ', '\r'}) {
        QTest::keyClick(relee(0), c);
    }
    for (int k = 1; k <= 8; ++k) {
        EXPECT_FALSE(setup.board.relay(k)) << k;
    }
    EXPECT_FALSE(setup.program->lifecycle().hasShutDown()) << "no key pressed a button";
    QTest::mouseClick(child<QPushButton>(window.get(), "ComLopp"), Qt::LeftButton);
    EXPECT_TRUE(setup.program->lifecycle().hasShutDown());
    window->close();  // what unloading the window does
    window->close();
    EXPECT_EQ(setup.ui.calls.count("tray- Kaugvool"), 1);
}

TEST_F(JuhtpultWindowTest, IndicatorsFollowThePanel) {
    QTest::mouseClick(relee(2), Qt::LeftButton);
    EXPECT_EQ(relee(2)->text(), "V");
    EXPECT_EQ(child<QGroupBox>(window.get(), "Frame1")->title(), "Pump        ");
    setup.program->panel().outputs[4].failureShown = true;
    setup.program->panel().failureLabel = QStringLiteral("Hardware failure");
    setup.program->panel().changed();
    EXPECT_TRUE(child<QLabel>(window.get(), "Picture14")->isVisible());
    EXPECT_EQ(child<QLabel>(window.get(), "ErrLabel")->text(), "Hardware failure");

    setup.program->pulseChosen(7, 20);
    setup.time.advance(Schedule::kTickMs);
    EXPECT_EQ(child<QLabel>(window.get(), "Pulss7")->text(), "20:00");
    setup.time.advance(1000);
    EXPECT_EQ(child<QLabel>(window.get(), "Pulss7")->text(), "19:59");
}

}  // namespace
}  // namespace kestrum
