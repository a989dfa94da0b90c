#include "serial_devices.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

#include <algorithm>

namespace kestrum {

namespace {

int rank(const QString& device, const QString& byIdFolder) {
    const QStringList order = {byIdFolder + QLatin1Char('/'), QStringLiteral("/dev/ttyUSB"),
                               QStringLiteral("/dev/ttyACM"), QStringLiteral("/dev/ttyS")};
    for (int i = 0; i < order.size(); ++i) {
        if (device.startsWith(order[i])) {
            return i;
        }
    }
    return static_cast<int>(order.size());
}

// ttyUSB2 before ttyUSB10: names compare by their stem, then by the number they end in.
bool numericallyBefore(const QString& a, const QString& b) {
    const auto split = [](const QString& name) {
        qsizetype digits = name.size();
        while (digits > 0 && name[digits - 1].isDigit()) {
            --digits;
        }
        return std::pair{name.left(digits), name.mid(digits).toULongLong()};
    };
    return split(a) != split(b) ? split(a) < split(b) : a < b;
}

QString describe(const QSerialPortInfo& port) {
    return !port.description().isEmpty() ? port.description() : port.manufacturer();
}

}  // namespace

QList<SerialDeviceChoice> inOfferOrder(QList<SerialDeviceChoice> choices,
                                       const QString& byIdFolder) {
    std::stable_sort(choices.begin(), choices.end(),
                     [&byIdFolder](const SerialDeviceChoice& a, const SerialDeviceChoice& b) {
                         const int rankA = rank(a.device, byIdFolder);
                         const int rankB = rank(b.device, byIdFolder);
                         return rankA != rankB ? rankA < rankB
                                               : numericallyBefore(a.device, b.device);
                     });
    return choices;
}

QList<SerialDeviceChoice> serialDeviceChoices(const QString& byIdFolder) {
    QList<SerialDeviceChoice> choices;
    QHash<QString, QString> descriptions;  // by canonical path
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        choices.append({port.systemLocation(), describe(port)});
        descriptions.insert(QFileInfo(port.systemLocation()).canonicalFilePath(), describe(port));
    }
    const QDir byId(byIdFolder);
    for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files)) {
        const QString target = link.canonicalFilePath();
        if (target.isEmpty()) {
            continue;  // a stale link of an adapter that is gone
        }
        // The device behind the stable name, and what the system says of it when it knows.
        const QString description = descriptions.value(target);
        choices.append(
            {link.absoluteFilePath(),
             description.isEmpty() ? target : QStringLiteral("%1, %2").arg(target, description)});
    }
    return inOfferOrder(choices, byId.absolutePath());
}

}  // namespace kestrum
