#include "device/qt_serial_port.h"
#include "support/memory_settings_store.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(QtSerialPortTest, MissingDeviceFailsToOpenAndStaysClosed) {
    testing::MemorySettingsStore store;
    store.write("Pordid", "Port 1", QStringLiteral("/dev/kestrum-no-such-port"));
    QtSerialPort port(store);
    port.setCommPort(1);
    port.setDtrEnable(true);
    EXPECT_FALSE(port.open());
    EXPECT_FALSE(port.portOpen());
    EXPECT_EQ(port.deviceName(), "/dev/kestrum-no-such-port");
    EXPECT_FALSE(port.lastOpenError().reason.isEmpty()) << "the driver's reason is kept";
    EXPECT_TRUE(port.lastOpenError().accessGroup.isEmpty()) << "no group grants a missing device";
    EXPECT_FALSE(port.cdHolding());
    port.output(QByteArrayLiteral("a"));
    port.close();
    EXPECT_FALSE(port.portOpen());
}

}  // namespace
}  // namespace kestrum
