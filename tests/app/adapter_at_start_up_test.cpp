#include "device/qt_serial_port.h"
#include "support/pty_board.h"
#include "support/rig.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// The box's USB adapter is not plugged in yet when the program starts, and port 2 has no device
// either: the scans keep trying the user's port, so plugging the adapter in needs no restart.
TEST(AdapterAtStartUpTest, TheStoredPortIsKeptAndTheAdapterTakenWhenItComes) {
    ASSERT_TRUE(testing::PtyBoard::shimLoaded());
    testing::PtyBoard adapter;
    adapter.exportToThisProcess();
    adapter.unplug();
    testing::Rig rig;
    QtSerialPort port(rig.memory);
    rig.port = &port;
    const auto write = [&](const char* section, const char* key, const QString& text) {
        rig.memory.write(QString::fromUtf8(section), QString::fromUtf8(key), text);
    };
    write("Seaded", "Järjestikport", QStringLiteral("3"));
    write("Pordid", "Port 3", adapter.deviceName());
    write("Pordid", "Port 2", QStringLiteral("/dev/kestrum-no-port-2"));
    write("Mode", "Mode 1", QStringLiteral("1"));  // output 1 strobes

    Program& program = rig.start();
    EXPECT_EQ(rig.seaded(QStringLiteral("Järjestikport")), "3");
    EXPECT_EQ(port.commPort(), 3);
    rig.time.advance(500);
    EXPECT_FALSE(program.panel().portErrorText.isEmpty());
    adapter.plugIn();
    rig.time.advance(1000);
    EXPECT_TRUE(adapter.takeSent().contains('a')) << "the strobe reaches the adapter";
    EXPECT_TRUE(program.panel().portErrorText.isEmpty());
}

}  // namespace
}  // namespace kestrum
