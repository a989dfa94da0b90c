#pragma once

#include <QList>
#include <QString>

namespace kestrum {

// A device the user may choose for a port number, with what the system tells about it.
struct SerialDeviceChoice {
    QString device;       // the path to open
    QString description;  // the adapter's description or maker; may be empty

    bool operator==(const SerialDeviceChoice&) const = default;
};

// The serial devices of this system, as the settings window offers them: the stable names of
// byIdFolder first (an adapter keeps its name there whichever ttyUSB number it gets), then
// ttyUSB, ttyACM and ttyS devices, then any other.
QList<SerialDeviceChoice> serialDeviceChoices(
    const QString& byIdFolder = QStringLiteral("/dev/serial/by-id"));

// The choices in the order above, numbers in numeric order (ttyUSB2 before ttyUSB10).
QList<SerialDeviceChoice> inOfferOrder(QList<SerialDeviceChoice> choices,
                                       const QString& byIdFolder);

}  // namespace kestrum
