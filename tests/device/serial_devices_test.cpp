#include "device/serial_devices.h"

#include <QFile>
#include <QTemporaryDir>

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
        inOfferOrder({{QStringLiteral("/dev/ttyS1"), {}},
                      {QStringLiteral("/dev/rfcomm0"), {}},
                      {QStringLiteral("/dev/ttyUSB10"), {}},
                      {QStringLiteral("/dev/ttyACM0"), {}},
                      {QStringLiteral("/dev/ttyUSB2"), {}},
                      {QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"), {}},
                      {QStringLiteral("/dev/ttyS0"), {}}},
                     QStringLiteral("/dev/serial/by-id"));
    EXPECT_EQ(devicesOf(offered), QStringList({"/dev/serial/by-id/usb-FTDI_FT232R-if00-port0",
                                               "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0",
                                               "/dev/ttyS0", "/dev/ttyS1", "/dev/rfcomm0"}));
}

// The folder of stable names holds links; one left by an adapter that is gone is not offered.
TEST(SerialDevicesTest, StableNamesAreTheLinksThatLeadToADevice) {
    QTemporaryDir byId;
    QFile::link(QStringLiteral("/dev/null"), byId.filePath(QStringLiteral("usb-B-port0")));
    QFile::link(QStringLiteral("/dev/zero"), byId.filePath(QStringLiteral("usb-A-port0")));
    QFile::link(QStringLiteral("/dev/kestrum-gone"), byId.filePath(QStringLiteral("usb-C-port0")));
    const QList<SerialDeviceChoice> offered = serialDeviceChoices(byId.path());
    ASSERT_GE(offered.size(), 2);
    EXPECT_EQ(offered[0], (SerialDeviceChoice{byId.filePath(QStringLiteral("usb-A-port0")),
                                              QStringLiteral("/dev/zero")}));
    EXPECT_EQ(offered[1].device, byId.filePath(QStringLiteral("usb-B-port0")));
    EXPECT_FALSE(devicesOf(offered).contains(byId.filePath(QStringLiteral("usb-C-port0"))));
}

}  // namespace
}  // namespace kestrum
