#include "device/port_error_text.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(PortErrorTextTest, NamesDeviceAndReasonAndAdvisesOnlyAMissingGroup) {
    EXPECT_EQ(portOpenErrorText("/dev/ttyUSB0", {"Permission denied", "uucp"}),
              "Cannot open /dev/ttyUSB0: Permission denied. Add your user to the group uucp that "
              "owns the device (sudo usermod -aG uucp $USER), then log out and in again.");
    // Refused although the user may use the device: another program holds it.
    EXPECT_EQ(portOpenErrorText("/dev/ttyUSB0", {"Permission error while locking the device", {}}),
              "Cannot open /dev/ttyUSB0: Permission error while locking the device.");
    EXPECT_EQ(
        portOpenErrorText("/dev/ttyS0", {"The system cannot find the file specified.\r\n", {}}),
        "Cannot open /dev/ttyS0: The system cannot find the file specified.");
}

}  // namespace
}  // namespace kestrum
