#include "settings_password_store.h"

#include "mail/mail_backend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrum {

SettingsPasswordStore::SettingsPasswordStore(SettingsStore& store, QString settingsFile,
                                             QString section, QString key)
    : m_store(store),
      m_settingsFile(std::move(settingsFile)),
      m_section(std::move(section)),
      m_key(std::move(key)) {}

QString SettingsPasswordStore::read(const QString&) {
    return m_store.read(m_section, m_key);
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
        m_store.write(m_section, m_key, password);
        m_store.sync();
    } catch (const StoreError& e) {
        throw MailError(QStringLiteral("the password was not saved: %1").arg(e.what()));
    }
}

}  // namespace kestrum
