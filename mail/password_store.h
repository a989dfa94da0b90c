#pragma once

#include <QString>

namespace kestrum {

// Where the mail account's password is kept.
class PasswordStore {
public:
    virtual ~PasswordStore() = default;

    // The password kept for the user; empty when none is kept. Throws MailError when it is kept
    // but cannot be read (a keyring that refuses, a read that a stop of the program ended).
    virtual QString read(const QString& user) = 0;
    // Keeps the password for the user; throws MailError and keeps the old one when it cannot.
    virtual void write(const QString& user, const QString& password) = 0;
    // True when the password ends up in the settings file rather than a system keyring.
    virtual bool keepsInSettingsFile() = 0;
};

}  // namespace kestrum
