#include "mail_account.h"

#include "core/settings_keys.h"
#include "mail/logging.h"

#include <QUrl>

namespace kestrum {

namespace {
bool isPlainUrl(const QString& url) {
    const QString scheme = QUrl(url.trimmed()).scheme().toLower();
    return !scheme.isEmpty() && !scheme.endsWith(QLatin1Char('s'));
}
}  // namespace

bool MailAccount::namesPlainScheme() const {
    return isPlainUrl(incomingUrl) || isPlainUrl(outgoingUrl);
}

MailAccount loadMailAccount(const SettingsStore& store, PasswordStore& passwords) {
    MailAccount account;
    account.incomingUrl = store.read(post::section, post::incoming).trimmed();
    account.outgoingUrl = store.read(post::section, post::outgoing).trimmed();
    account.user = store.read(post::section, post::user);
    account.senderAddress = store.read(post::section, post::sender).trimmed();
    account.plainTextAllowed = store.read(post::section, post::unencrypted) == QLatin1String("1");
    account.password = passwords.read(account.user);
    return account;
}

void saveMailAccount(SettingsStore& store, PasswordStore& passwords, const MailAccount& account) {
    store.write(post::section, post::incoming, account.incomingUrl);
    store.write(post::section, post::outgoing, account.outgoingUrl);
    store.write(post::section, post::user, account.user);
    store.write(post::section, post::sender, account.senderAddress);
    store.write(post::section, post::unencrypted,
                account.plainTextAllowed ? QStringLiteral("1") : QStringLiteral("0"));
    store.sync();
    passwords.write(account.user, account.password);
}

// Before the choice existed an account on imap://, pop3:// or smtp:// fell back to plain text
// whenever the server had no TLS to offer. Such an account is taken to have made the choice, so
// that it goes on working; saving the account form writes the key, so this happens once.
void completeMailAccount(SettingsStore& store) {
    if (!store.read(post::section, post::unencrypted).isEmpty()) {
        return;
    }
    MailAccount stored;
    stored.incomingUrl = store.read(post::section, post::incoming);
    stored.outgoingUrl = store.read(post::section, post::outgoing);
    if (!stored.namesPlainScheme()) {
        return;
    }
    store.write(post::section, post::unencrypted, QStringLiteral("1"));
    store.sync();
    qCWarning(lcMail).noquote()
        << "The mail account uses a server address without TLS (imap://, pop3:// or smtp://): "
           "unencrypted connections stay allowed for it, as before. Clear \"Allow an "
           "unencrypted connection\" in the account form to refuse them.";
}

}  // namespace kestrum
