#pragma once

#include <QByteArray>
#include <QString>

namespace kestrum {

// The Baltic single-byte code page of the log file. Characters it lacks become '?'; bytes it
// leaves undefined decode to U+FFFD.
QByteArray toWindows1257(const QString& text);
QString fromWindows1257(const QByteArray& bytes);

}  // namespace kestrum
