#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

namespace kestrum::settings_file {

// Every key of the file as "section/key", with its value as QSettings reads it.
using Values = QMap<QString, QVariant>;

// The values of the INI file; a missing file has none. A file that is not INI throws
// StoreError.
Values read(const QString& fileName);

// Replaces the file by one that holds exactly the values, in QSettings' INI format. The new file
// is written beside the old one and checked to have landed whole before it takes the old one's
// place, owner-only whatever the umask (so is the copy), so a full disk or a crash leaves the
// previous file as it was; throws StoreError then. The copy of backupName() is refreshed after a
// good write when withCopy says so.
void write(const QString& fileName, const Values& values, bool withCopy = true);
// Makes the copy of backupName() the file as it is now.
void refreshCopy(const QString& fileName);

// The last good copy of the file.
QString backupName(const QString& fileName);

}  // namespace kestrum::settings_file
