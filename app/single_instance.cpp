#include "single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrum {

namespace {
QString cannotCreate(const QString& lockFilePath, const QString& reason) {
    return QStringLiteral(
               "Kestrum cannot create its lock file %1 (%2). Check that its folder "
               "exists and that you may write in it.")
        .arg(QDir::toNativeSeparators(lockFilePath), reason);
}
}  // namespace

SingleInstance::SingleInstance(const QString& lockFilePath) : m_lock(lockFilePath) {
    // The lock is held for the program's whole run: its age says nothing about its holder.
    m_lock.setStaleLockTime(0);
    if (!QDir().mkpath(QFileInfo(lockFilePath).absolutePath())) {
        m_refusal = cannotCreate(lockFilePath, QStringLiteral("its folder cannot be made"));
        return;
    }
    if (m_lock.tryLock(0)) {
        return;
    }
    switch (m_lock.error()) {
        case QLockFile::LockFailedError:
            m_heldByAnother = true;
            m_refusal = QStringLiteral("Kestrum is already running for this user.");
            break;
        case QLockFile::PermissionError:
            m_refusal = cannotCreate(lockFilePath, QStringLiteral("permission denied"));
            break;
        default:
            m_refusal = cannotCreate(lockFilePath, QStringLiteral("an unknown error"));
            break;
    }
}

QString defaultLockFilePath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString folder =
        !runtime.isEmpty() ? runtime
                           : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                 QStringLiteral("/KaugVool");
    return folder + QStringLiteral("/kestrum.lock");
}

}  // namespace kestrum
