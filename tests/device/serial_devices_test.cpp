#include "device/serial_devices.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

QStringList devicesOf(const QList<SerialDeviceChoice>& choices) {
    QStringList devices;
    for (const SerialDeviceChoice& choice : choices) {
        devices << choice.device;
    }
    return devices;
}

TEST(SerialDevicesTest, StableNamesFirstThenAdaptersThenBuiltInPortsInNumericOrder) {
    const QList<SerialDeviceChoice> offered =
        inOfferOrder({{"/dev/ttyS1", {}},
                      {"/dev/rfcomm0", {}},
                      {"/dev/ttyUSB10", {}},
                      {"/dev/ttyACM0", {}},
                      {"/dev/ttyUSB2", {}},
                      {"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0", {}},
                      {"/dev/ttyS0", {}}},
                     QStringLiteral("/dev/serial/by-id"));
    EXPECT_EQ(devicesOf(offered), QStringList({"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0",
                                               "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0",
                                               "/dev/ttyS0", "/dev/ttyS1", "/dev/rfcomm0"}));
}

}  // namespace
}  // namespace kestrum
