#pragma once

#include "core/qsettings_store.h"

#include <QFile>

namespace kestrum::testing {

// No settings file and no copy to restore it from, as on a first run.
inline void removeSettingsFiles() {
    const QString file = QSettingsStore().fileName();
    QFile::remove(file);
    QFile::remove(settings_file::backupName(file));
}

}  // namespace kestrum::testing
