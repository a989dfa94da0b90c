#pragma once

#include <QLockFile>
#include <QString>

namespace kestrum {

// One controller per user: two would share a port, a settings store and a log. The lock of a
// program that died is taken over.
class SingleInstance {
public:
    explicit SingleInstance(const QString& lockFilePath);

    bool acquired() const { return m_refusal.isEmpty(); }
    // Refused because another instance holds the lock, not for a problem with the lock file.
    bool heldByAnother() const { return m_heldByAnother; }
    // Why this program may not run, for the user; empty when the lock was taken.
    const QString& refusal() const { return m_refusal; }

private:
    QLockFile m_lock;
    QString m_refusal;
    bool m_heldByAnother = false;
};

// The lock file in the user's runtime folder, which the system empties at log-out and boot, or
// beside the log where there is none.
QString defaultLockFilePath();

}  // namespace kestrum
