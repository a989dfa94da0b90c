#pragma once

#include "core/serial_port.h"

#include <QString>

namespace kestrum {

// What the user reads when the port cannot be opened: the device, the driver's reason and, when
// a group membership is what is missing, how to get it.
QString portOpenErrorText(const QString& device, const PortOpenError& error);

}  // namespace kestrum
