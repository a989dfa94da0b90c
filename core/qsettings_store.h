#pragma once

#include "settings_store.h"

#include <QSettings>

namespace kestrum {

// The settings store as an INI file of QSettings, organisation and application "KaugVool".
class QSettingsStore : public SettingsStore {
public:
    QSettingsStore();

    QString read(const QString& section, const QString& key,
                 const QString& defaultText = {}) const override;
    void write(const QString& section, const QString& key, const QString& text) override;
    void deleteSection(const QString& section) override;
    void sync() override;

    QString fileName() const { return m_settings.fileName(); }

private:
    mutable QSettings m_settings;
};

}  // namespace kestrum
