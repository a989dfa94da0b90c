#pragma once

#include "log/windows1257.h"

#include <QRegularExpression>
#include <QStringList>

namespace kestrum::testing {

// The log's lines without their date and time, so tests read what happened in order.
inline QStringList logLines(const QByteArray& bytes) {
    static const QRegularExpression stamp(
        QStringLiteral("^ ?\\d\\d-\\d\\d-\\d{4}; \\d\\d:\\d\\d:\\d\\d; "));
    QStringList lines = fromWindows1257(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    for (QString& line : lines) {
        line.remove(stamp);
    }
    return lines;
}

// What every remote logs for an AUTO refused because output n has no switching times.
inline QStringList refusedAutoLines(int n) {
    const QString command = QStringLiteral("Saadeti käsk: KOORMUS_%1_AUTO").arg(n);
    return {command,
            command + QStringLiteral(" kuid selle väljundi jaoks pole aegu veel määratud")};
}

}  // namespace kestrum::testing
