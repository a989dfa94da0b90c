#pragma once

#include "mail/password_store.h"

#include <optional>

namespace kestrum {

// The password in the system keyring under service "Kestrum"; where no keyring answers, in
// the fallback store.
class KeyringPasswordStore : public PasswordStore {
public:
    explicit KeyringPasswordStore(PasswordStore& fallback);

    QString read(const QString& user) override;
    void write(const QString& user, const QString& password) override;
    bool keepsInSettingsFile() override;

private:
    PasswordStore& m_fallback;
    std::optional<bool> m_keyringAnswers;
};

}  // namespace kestrum
