#include "mail_account.h"

#include "mail/post_keys.h"

namespace kestrum {

MailAccount loadMailAccount(const SettingsStore& store, PasswordStore& passwords) {
    MailAccount account;
    account.incomingUrl = store.read(postkeys::section, postkeys::incoming).trimmed();
    account.outgoingUrl = store.read(postkeys::section, postkeys::outgoing).trimmed();
    account.user = store.read(postkeys::section, postkeys::user);
    account.senderAddress = store.read(postkeys::section, postkeys::sender).trimmed();
    account.password = passwords.read(account.user);
    return account;
}

void saveMailAccount(SettingsStore& store, PasswordStore& passwords, const MailAccount& account) {
    store.write(postkeys::section, postkeys::incoming, account.incomingUrl);
    store.write(postkeys::section, postkeys::outgoing, account.outgoingUrl);
    store.write(postkeys::section, postkeys::user, account.user);
    store.write(postkeys::section, postkeys::sender, account.senderAddress);
    store.sync();
    passwords.write(account.user, account.password);
}

}  // namespace kestrum
