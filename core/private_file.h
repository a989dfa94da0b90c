#pragma once

#include <QByteArray>
#include <QString>

namespace kestrum {

// Replaces the file whole by `content`, readable and writable by its owner alone whatever the
// umask: the files that hold passwords, or what the mail commands did, are nobody else's. The
// content goes to a file beside it first, so a crash or a full disk leaves the old file. False
// on failure, with the reason in `error`.
bool writePrivateFile(const QString& fileName, const QByteArray& content, QString& error);

}  // namespace kestrum
