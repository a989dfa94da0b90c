#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QString>

namespace kestrum {

// The system's time zone, loaded once and again only when its file changes. With TZ unset the C
// library checks /etc/localtime at every local-time conversion, a file-system call for each of
// the clock's readings; naming the file in TZ makes it load the zone once. A time zone the user
// chose in TZ is left alone.
class LocalZone {
public:
    explicit LocalZone(const QString& zoneFile = QStringLiteral("/etc/localtime"));
    LocalZone(const LocalZone&) = delete;
    LocalZone& operator=(const LocalZone&) = delete;

private:
    // Tools replace the file (a new link renamed over it), so its folder is watched too.
    void changed();
    void reload();

    QString m_zoneFile;
    QByteArray m_variable;
    QFileSystemWatcher m_watcher;
    QString m_target;
    QDateTime m_modified;
};

}  // namespace kestrum
