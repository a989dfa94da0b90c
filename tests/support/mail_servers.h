#pragma once

#include "mail/mail_account.h"
#include "support/local_servers.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace kestrum::testing {

// Dovecot (IMAP, IMAPS, POP3, POP3S) and an aiosmtpd server (SMTP with STARTTLS, SMTPS, a relay) on
// free 127.0.0.1 ports, with a certificate authority made for the run. Every user logs on with
// password(); each has a Maildir of its own. Sent mails land in the Maildir of user "outbox".
class MailServers {
public:
    // Starts everything; throws std::runtime_error saying what did not start.
    MailServers();
    // Stops the servers by their process ids.
    ~MailServers();

    int imapPort = 0, imapsPort = 0, pop3Port = 0, pop3sPort = 0;
    int smtpPort = 0, smtpsPort = 0;
    int relayPort = 0;  // SMTP without AUTH and TLS

    static QString password() { return QStringLiteral("kuuvalgus"); }
    // The PEM file of the authority that signed the servers' certificate.
    QString caFile() const;

    // An account of the user on the given incoming scheme and port, sending over smtp://.
    MailAccount account(const QString& user, const QString& incomingScheme, int incomingPort) const;

    // Puts the raw mail into the user's inbox as new and unread.
    void deliver(const QString& user, const QByteArray& rawMail);
    // The raw files in the user's inbox, new and current alike.
    QList<QByteArray> mailbox(const QString& user) const;

private:
    QString maildir(const QString& user) const;
    void makeMaildir(const QString& user) const;
    void startDovecot();
    void startSmtp();

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_dovecot;
    std::unique_ptr<QProcess> m_smtp;
};

// The fixture of tests that need the servers. Starting them takes seconds, so they start once
// per test program, for its first such test, and stop when the program's tests end.
class MailServersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static MailServers& servers();
};

}  // namespace kestrum::testing
