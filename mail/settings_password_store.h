#pragma once

#include "mail/password_store.h"

#include "core/settings_store.h"

namespace kestrum {

// The password under key "Parool" of section "Post", for machines without a keyring. The
// settings file is then made readable by its owner alone.
class SettingsPasswordStore : public PasswordStore {
public:
    // settingsFile: the file behind the store, made owner-only on each write; empty for none.
    SettingsPasswordStore(SettingsStore& store, QString settingsFile);

    QString read(const QString& user) override;
    void write(const QString& user, const QString& password) override;
    bool keepsInSettingsFile() override { return true; }

private:
    SettingsStore& m_store;
    QString m_settingsFile;
};

}  // namespace kestrum
