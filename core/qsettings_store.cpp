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

namespace {
constexpr int kSaveEveryMs = 1000;
constexpr int kCopyEveryMs = 60 * 1000;
}  // namespace

QSettingsStore::QSettingsStore(QString fileName) : m_fileName(std::move(fileName)) {
    m_pendingSave.setSingleShot(true);
    QObject::connect(&m_pendingSave, &QTimer::timeout,
                     [this] { skipOnStoreError([this] { sync(); }); });
    load();
}

QSettingsStore::~QSettingsStore() {
    skipOnStoreError([this] { save(true); });
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
    save(false);
}

void QSettingsStore::syncSoon() {
    if (m_values == m_saved || m_pendingSave.isActive()) {
        return;
    }
    const qint64 sinceSave = m_lastSave.isValid() ? m_lastSave.elapsed() : kSaveEveryMs;
    if (sinceSave >= kSaveEveryMs) {
        sync();
    } else {
        m_pendingSave.start(int(kSaveEveryMs - sinceSave));
    }
}

void QSettingsStore::save(bool closing) {
    m_pendingSave.stop();
    const bool changed = m_values != m_saved;
    if (!changed && !(closing && m_copyBehind)) {
        return;
    }
    if (m_readError) {
        throw *m_readError;
    }
    const bool copy = closing || !m_lastCopy.isValid() || m_lastCopy.elapsed() >= kCopyEveryMs;
    if (changed) {
        settings_file::write(m_fileName, m_values, copy);
        m_saved = m_values;
        m_lastSave.start();
    } else {
        settings_file::refreshCopy(m_fileName);
    }
    m_copyBehind = !copy;
    if (copy) {
        m_lastCopy.start();
    }
}

}  // namespace kestrum
