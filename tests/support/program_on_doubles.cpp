#include "program_on_doubles.h"

#include <QFile>

namespace kestrum::testing {

QByteArray ProgramOnDoubles::logBytes() const {
    QFile file(logPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace kestrum::testing
