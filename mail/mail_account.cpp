#include "mail_account.h"

#include "core/settings_keys.h"

namespace kestrum {

MailAccount loadMailAccount(const SettingsStore& store, PasswordStore& passwords) {
    MailAccount account;
    account.incomingUrl = store.read(post::section, post::incoming).trimmed();
    account.outgoingUrl = store.read(post::section, post::outgoing).trimmed();
    account.user = store.read(post::section, post::user);
    account.senderAddress = store.read(post::section, post::sender).trimmed();
    account.password = passwords.read(account.user);
    return account;
}

void saveMailAccount(SettingsStore& store, PasswordStore& passwords, const MailAccount& account) {
    store.write(post::section, post::incoming, account.incomingUrl);
    store.write(post::section, post::outgoing, account.outgoingUrl);
    store.write(post::section, post::user, account.user);
    store.write(post::section, post::sender, account.senderAddress);
    store.sync();
    passwords.write(account.user, account.password);
}

}  // namespace kestrum
