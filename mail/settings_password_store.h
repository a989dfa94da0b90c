#pragma once

#include "mail/password_store.h"

#include "core/settings_keys.h"
#include "core/settings_store.h"

namespace kestrum {

// A password kept in the settings file, for machines without a keyring: the mail account's
// under key "Parool" of section "Post" unless told otherwise. The settings file is then made
// readable by its owner alone.
class SettingsPasswordStore : public PasswordStore {
public:
    // settingsFile: the file behind the store, made owner-only on each write; empty for none.
    SettingsPasswordStore(SettingsStore& store, QString settingsFile,
                          QString section = post::section, QString key = post::password);

    QString read(const QString& user) override;
    void write(const QString& user, const QString& password) override;
    bool keepsInSettingsFile() override { return true; }

private:
    SettingsStore& m_store;
    QString m_settingsFile;
    QString m_section;
    QString m_key;
};

}  // namespace kestrum
