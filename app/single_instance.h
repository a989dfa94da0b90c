#pragma once

#include <QLockFile>
#include <QString>

namespace kestrum {

// One controller per user: two would share a port, a settings store and a log. The lock of a
// program that died is taken over.
class SingleInstance {
public:
    explicit SingleInstance(const QString& lockFilePath);

    bool acquired() const { return m_acquired; }

private:
    QLockFile m_lock;
    bool m_acquired;
};

// The lock file beside the log in the per-user data folder.
QString defaultLockFilePath();

}  // namespace kestrum
