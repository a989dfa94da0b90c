#include "qsettings_store.h"

#include "logging.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace kestrum {

namespace {
QString path(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

bool holdsNothing(const QString& fileName) {
    const QFileInfo file(fileName);
    return !file.exists() || file.size() == 0;
}
}  // namespace

QSettingsStore::QSettingsStore()
    : QSettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                     QStringLiteral("/KaugVool/KaugVool.ini")) {}

QSettingsStore::QSettingsStore(QString fileName) : m_fileName(std::move(fileName)) {
    load();
}

QSettingsStore::~QSettingsStore() {
    skipOnStoreError([this] { sync(); });
}

void QSettingsStore::load() {
    const QString copy = settings_file::backupName(m_fileName);
    const bool restore = holdsNothing(m_fileName) && !holdsNothing(copy);
    try {
        m_values = settings_file::read(restore ? copy : m_fileName);
    } catch (const StoreError& error) {
        m_readError = error;
        reportStoreError(error);
        return;
    }
    if (!restore) {
        m_saved = m_values;
        return;
    }
    qCWarning(lcCore).noquote() << "The settings file" << m_fileName
                                << "was missing or empty: restoring it from" << copy;
    skipOnStoreError([this] { sync(); });
}

QString QSettingsStore::read(const QString& section, const QString& key,
                             const QString& defaultText) const {
    const auto value = m_values.constFind(path(section, key));
    return value != m_values.cend() ? value->toString() : defaultText;
}

void QSettingsStore::write(const QString& section, const QString& key, const QString& text) {
    m_values.insert(path(section, key), text);
}

void QSettingsStore::deleteSection(const QString& section) {
    const QString prefix = section + QLatin1Char('/');
    m_values.removeIf([&](const auto& value) { return value.key().startsWith(prefix); });
}

void QSettingsStore::sync() {
    if (m_values == m_saved) {
        return;
    }
    if (m_readError) {
        throw *m_readError;
    }
    settings_file::write(m_fileName, m_values);
    m_saved = m_values;
}

}  // namespace kestrum
