#include "rig.h"

#include <QFile>

namespace kestrum::testing {

QByteArray Rig::logBytes() const {
    QFile file(logPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace kestrum::testing
