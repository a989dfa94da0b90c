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
    // imap://, pop3:// and smtp:// may go on without TLS when the server refuses STARTTLS:
    // the password then crosses the network readable. Only by the user's explicit choice.
    bool plainTextAllowed = false;

    // Both servers are named; the user and the password may be empty.
    bool isSetUp() const { return !incomingUrl.isEmpty() && !outgoingUrl.isEmpty(); }
    // A server is named with a scheme that starts without TLS (imap://, pop3://, smtp://).
    bool namesPlainScheme() const;
};

// The account as kept in section "Post" of the store, with its password from the password store.
MailAccount loadMailAccount(const SettingsStore& store, PasswordStore& passwords);
// Keeps the account in section "Post" and its password; throws StoreError or MailError on the
// first step that fails, leaving the steps before it done.
void saveMailAccount(SettingsStore& store, PasswordStore& passwords, const MailAccount& account);
// Gives an account stored before the choice of plain text existed the choice it had then made
// implicitly, with one warning; throws StoreError when the store cannot keep it.
void completeMailAccount(SettingsStore& store);

}  // namespace kestrum
