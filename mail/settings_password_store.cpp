#include "settings_password_store.h"

#include "core/settings_keys.h"
#include "mail/mail_backend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrum {

SettingsPasswordStore::SettingsPasswordStore(SettingsStore& store, QString settingsFile)
    : m_store(store), m_settingsFile(std::move(settingsFile)) {}

QString SettingsPasswordStore::read(const QString&) {
    return m_store.read(post::section, post::password);
}

void SettingsPasswordStore::write(const QString&, const QString& password) {
    // Restrict the file before the password reaches it, so it is never readable by others.
    if (!m_settingsFile.isEmpty()) {
        if (!QFile::exists(m_settingsFile)) {
            QDir().mkpath(QFileInfo(m_settingsFile).absolutePath());
            QFile(m_settingsFile).open(QIODevice::WriteOnly);
        }
        if (!QFile::setPermissions(m_settingsFile, QFile::ReadOwner | QFile::WriteOwner)) {
            throw MailError(QStringLiteral("the password was not saved: %1 cannot be made private")
                                .arg(m_settingsFile));
        }
    }
    try {
        m_store.write(post::section, post::password, password);
        m_store.sync();
    } catch (const StoreError& e) {
        throw MailError(QStringLiteral("the password was not saved: %1").arg(e.what()));
    }
}

}  // namespace kestrum
