#pragma once

#include "settings_file.h"
#include "settings_store.h"

#include <QElapsedTimer>
#include <QTimer>

#include <optional>

namespace kestrum {

// The settings store as an INI file in QSettings' format, "KaugVool/KaugVool.ini" in the user's
// configuration folder. The file is read once and held in memory; sync() writes it only when
// something changed, and whole or not at all (see settings_file.h). A file that is missing or
// empty while its last good copy is not is restored from that copy.
class QSettingsStore : public SettingsStore {
public:
    QSettingsStore();
    explicit QSettingsStore(QString fileName);
    // Saves what was written and not yet synced; a failure is reported, not thrown.
    ~QSettingsStore() override;
    QSettingsStore(const QSettingsStore&) = delete;
    QSettingsStore& operator=(const QSettingsStore&) = delete;

    QString read(const QString& section, const QString& key,
                 const QString& defaultText = {}) const override;
    void write(const QString& section, const QString& key, const QString& text) override;
    void deleteSection(const QString& section) override;
    void sync() override;
    // At once when the last save is a second old or more, else a second after it.
    void syncSoon() override;

    QString fileName() const { return m_fileName; }

private:
    void load();
    // Refreshes the last good copy too when it is a minute old or the store is closing.
    void save(bool closing);

    QString m_fileName;
    settings_file::Values m_values;
    settings_file::Values m_saved;          // as the file holds them
    std::optional<StoreError> m_readError;  // a file that is not INI is never overwritten
    QTimer m_pendingSave;
    QElapsedTimer m_lastSave;  // invalid before the first
    QElapsedTimer m_lastCopy;  // invalid before the first
    bool m_copyBehind = false;
};

}  // namespace kestrum
