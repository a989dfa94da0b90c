#include "qsettings_store.h"

namespace kestrum {

namespace {
QString path(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}
}  // namespace

QSettingsStore::QSettingsStore()
    : m_settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KaugVool"),
                 QStringLiteral("KaugVool")) {}

QString QSettingsStore::read(const QString& section, const QString& key,
                             const QString& defaultText) const {
    const QVariant value = m_settings.value(path(section, key));
    return value.isValid() ? value.toString() : defaultText;
}

void QSettingsStore::write(const QString& section, const QString& key, const QString& text) {
    if (!m_settings.isWritable()) {
        throw StoreError("the settings file cannot be written");
    }
    m_settings.setValue(path(section, key), text);
}

void QSettingsStore::deleteSection(const QString& section) {
    if (!m_settings.isWritable()) {
        throw StoreError("the settings file cannot be written");
    }
    m_settings.remove(section);
}

void QSettingsStore::sync() {
    m_settings.sync();
    if (m_settings.status() != QSettings::NoError) {
        throw StoreError("the settings file could not be saved");
    }
}

}  // namespace kestrum
