#include "single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrum {

SingleInstance::SingleInstance(const QString& lockFilePath)
    : m_lock(lockFilePath),
      m_acquired((QDir().mkpath(QFileInfo(lockFilePath).absolutePath()), m_lock.tryLock(0))) {}

QString defaultLockFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/KaugVool/kestrum.lock");
}

}  // namespace kestrum
