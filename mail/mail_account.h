#pragma once

#include "mail/password_store.h"

#include "core/settings_store.h"

#include <QString>

namespace kestrum {

// The mail back end's own log-on data.
struct MailAccount {
    QString incomingUrl;  // imap://, imaps://, pop3:// or pop3s://host:port
    QString outgoingUrl;  // smtp:// or smtps://host:port
    QString user;
    QString password;
    QString senderAddress;

    // Both servers are named; the user and the password may be empty.
    bool isSetUp() const { return !incomingUrl.isEmpty() && !outgoingUrl.isEmpty(); }
};

// The account as kept in section "Post" of the store, with its password from the password store.
MailAccount loadMailAccount(const SettingsStore& store, PasswordStore& passwords);
// Keeps the account in section "Post" and its password; throws StoreError or MailError on the
// first step that fails, leaving the steps before it done.
void saveMailAccount(SettingsStore& store, PasswordStore& passwords, const MailAccount& account);

}  // namespace kestrum
