#include "device/simulated_board_window.h"
#include "support/printers.h"
#include "support/virtual_time.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(SimulatedBoardWindowTest, SwitchesInputsSetsFaultsAndShowsRelays) {
    testing::VirtualTime time;
    SimulatedBoard board(time);
    SimulatedBoardWindow window(board);
    EXPECT_EQ(window.windowTitle(), "Simulated board");

    QTest::mouseClick(window.findChild<QCheckBox*>(QStringLiteral("input3")), Qt::LeftButton);
    EXPECT_TRUE(board.input(3));
    window.findChild<QComboBox*>(QStringLiteral("fault2"))->setCurrentIndex(2);
    EXPECT_EQ(board.fault(2), SimulatedBoard::Fault::StuckOn);

    board.open();
    board.setDtrEnable(true);
    board.setRtsEnable(true);  // output 1 is the last bit clocked in
    board.setRtsEnable(false);
    board.output(QByteArrayLiteral("a"));
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("relay1"))->text(), "ON");
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("relay2"))->text(), "off");
}

}  // namespace
}  // namespace kestrum
