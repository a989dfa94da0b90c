#pragma once

#include "mail/password_store.h"

#include <QString>

#include <optional>

namespace kestrum {

// The password in the system keyring, by default under service "Kestrum" (the mail account's);
// where no keyring answers, in the fallback store.
class KeyringPasswordStore : public PasswordStore {
public:
    explicit KeyringPasswordStore(PasswordStore& fallback,
                                  QString service = QStringLiteral("Kestrum"));

    QString read(const QString& user) override;
    void write(const QString& user, const QString& password) override;
    bool keepsInSettingsFile() override;

private:
    PasswordStore& m_fallback;
    QString m_service;
    std::optional<bool> m_keyringAnswers;
};

}  // namespace kestrum
