#pragma once

#include <QString>

namespace kestrum {

// A log kept for years is too long to show or to mail, and its end is what a reader wants:
// the viewer and the log reply take at most this many bytes from the end of the file.
inline constexpr qint64 kLogTailLimit = 1024 * 1024;

// The log at filePath decoded from Windows-1257: all of it when it fits in kLogTailLimit,
// otherwise the last kLogTailLimit bytes from the first whole line in them, after a line that
// says the beginning was left out. A missing, unreadable or empty file gives the empty text.
QString readLogTail(const QString& filePath);

}  // namespace kestrum
