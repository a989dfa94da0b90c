#pragma once

#include "core/qsettings_store.h"

#include <QFile>
#include <QSettings>

namespace kestrum::testing {

// No settings file and no copy to restore it from, as on a first run.
inline void removeSettingsFiles() {
    const QString file = QSettingsStore().fileName();
    QFile::remove(file);
    QFile::remove(settings_file::backupName(file));
}

// What the next run of the program finds in the settings file.
inline QString onDisk(const QString& section, const QString& key) {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KaugVool"),
                       QStringLiteral("KaugVool"));
    return settings.value(section + QLatin1Char('/') + key, QStringLiteral("<missing>")).toString();
}

}  // namespace kestrum::testing
