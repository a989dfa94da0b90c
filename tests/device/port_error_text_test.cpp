#include "device/port_error_text.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(PortErrorTextTest, NamesDeviceAndReasonAndAdvisesOnlyAMissingGroup) {
    struct Case {
        PortOpenError error;
        QString start;   // the whole text when there is no advice
        QString advice;  // the command it gives; empty for none
    };
    const Case cases[] = {
        {{"Permission denied", "dialout"},
         QStringLiteral("Cannot open /dev/ttyUSB0: Permission denied. Add your user to the group "
                        "dialout "),
         QStringLiteral("(sudo usermod -aG dialout $USER)")},
        {{"Permission denied", "uucp"},
         QStringLiteral("Cannot open /dev/ttyUSB0: Permission denied. Add your user to the group "
                        "uucp "),
         QStringLiteral("(sudo usermod -aG uucp $USER)")},
        // Refused although the user may use the device: another program holds it.
        {{"Permission error while locking the device", QString()},
         QStringLiteral("Cannot open /dev/ttyUSB0: Permission error while locking the device."),
         QString()},
        {{"The system cannot find the file specified.\r\n", QString()},
         QStringLiteral("Cannot open /dev/ttyUSB0: The system cannot find the file specified."),
         QString()},
    };
    for (const Case& c : cases) {
        const QString text = portOpenErrorText("/dev/ttyUSB0", c.error);
        if (c.advice.isEmpty()) {
            EXPECT_EQ(text, c.start);
            continue;
        }
        EXPECT_TRUE(text.startsWith(c.start)) << text.toStdString();
        EXPECT_TRUE(text.contains(c.advice)) << text.toStdString();
        EXPECT_TRUE(text.endsWith("log out and in again.")) << text.toStdString();
    }
}

}  // namespace
}  // namespace kestrum
