#include "qsettings_store.h"

namespace kestrum {

namespace {
QString path(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

StoreError fileError(const QSettings& settings, const QString& problem) {
    return StoreError(
        QStringLiteral("the settings file %1 %2").arg(settings.fileName(), problem).toStdString());
}

StoreError notWritable(const QSettings& settings) {
    return fileError(settings, QStringLiteral("cannot be written: check that you own it and its "
                                              "folder and that the disk has room"));
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
        throw notWritable(m_settings);
    }
    m_settings.setValue(path(section, key), text);
}

void QSettingsStore::deleteSection(const QString& section) {
    if (!m_settings.isWritable()) {
        throw notWritable(m_settings);
    }
    m_settings.remove(section);
}

void QSettingsStore::sync() {
    m_settings.sync();
    if (m_settings.status() == QSettings::FormatError) {
        throw fileError(m_settings, QStringLiteral("is not an INI file and was left as it is: move "
                                                   "it aside so that a new one is made"));
    }
    if (m_settings.status() != QSettings::NoError) {
        throw notWritable(m_settings);
    }
}

}  // namespace kestrum
