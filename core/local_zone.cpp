#include "local_zone.h"

#include <QFileInfo>

#include <time.h>

namespace kestrum {

LocalZone::LocalZone(const QString& zoneFile) : m_zoneFile(zoneFile) {
    if (qEnvironmentVariableIsSet("TZ")) {
        return;
    }
    m_variable = ':' + QFile::encodeName(zoneFile);
    qputenv("TZ", m_variable);
    tzset();
    const QFileInfo file(zoneFile);
    m_target = file.symLinkTarget();
    m_modified = file.lastModified();
    m_watcher.addPath(zoneFile);
    m_watcher.addPath(file.absolutePath());
    QObject::connect(&m_watcher, &QFileSystemWatcher::fileChanged, [this] { changed(); });
    QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, [this] { changed(); });
}

void LocalZone::changed() {
    const QFileInfo file(m_zoneFile);
    // A replaced file is no longer watched under its name.
    if (file.exists() && !m_watcher.files().contains(m_zoneFile)) {
        m_watcher.addPath(m_zoneFile);
    }
    if (file.symLinkTarget() == m_target && file.lastModified() == m_modified) {
        return;
    }
    m_target = file.symLinkTarget();
    m_modified = file.lastModified();
    reload();
}

// The C library loads the zone again only when TZ names another one: a moment of UTC between.
void LocalZone::reload() {
    qputenv("TZ", "UTC0");
    tzset();
    qputenv("TZ", m_variable);
    tzset();
}

}  // namespace kestrum
