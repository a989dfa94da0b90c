#pragma once

#include "mail/mail_account.h"
#include "mail/mail_options.h"
#include "mail/operation_deadline.h"

#include <vmime/net/session.hpp>
#include <vmime/net/store.hpp>
#include <vmime/net/transport.hpp>

#include <memory>

namespace kestrum {

// Opens VMime connections to the account's servers under one operation deadline.
//
// imap://, pop3:// and smtp:// ask for TLS with STARTTLS/STLS; a refusal ends the connection
// before the password is sent, unless the account allows plain text, and a session that goes
// without TLS is warned about each time. imaps://, pop3s:// and smtps:// use TLS from the first
// byte. Once TLS is under way a refused certificate ends the connection: there is no fall-back to
// plain text.
class VmimeConnector {
public:
    explicit VmimeConnector(MailOptions options);

    // Starts the clock of a session: its operations together may take no longer than the
    // session limit, until endSession().
    void startSession() { m_deadline.startSession(); }
    void endSession() { m_deadline.endSession(); }
    // Starts the clock of the next network operation; throws MailError once the session has
    // used up its time.
    void startOperation();
    std::chrono::milliseconds deadline() const { return m_deadline.limit(); }

    // Connects and logs on to the incoming server; throws MailError and leaves nothing open.
    std::shared_ptr<vmime::net::store> connectIncoming(const MailAccount& account);
    // Connects to the outgoing server, authenticating when the account has a user and the
    // server offers authentication; throws MailError and leaves nothing open.
    std::shared_ptr<vmime::net::transport> connectOutgoing(const MailAccount& account);

    // The readable description of a VMime failure while `doing` (as in "IMAP log-on").
    QString describe(const QString& doing, const std::exception& failure) const;

private:
    QString sessionTooLong() const;
    std::shared_ptr<vmime::security::cert::certificateVerifier> verifier();
    void configure(vmime::net::service& service, const MailAccount& account, bool plainScheme);
    std::shared_ptr<vmime::net::transport> connectTransport(const vmime::utility::url& url,
                                                            const MailAccount& account,
                                                            bool plainScheme, bool logOn);

    MailOptions m_options;
    OperationDeadline m_deadline;
    std::shared_ptr<vmime::net::session> m_session;
    std::shared_ptr<vmime::security::cert::certificateVerifier> m_verifier;
};

// Which protocol a server URL names, for messages: "IMAP", "POP3" or "SMTP"; the scheme as
// written for any other.
QString protocolName(const QString& url);

// Tries both servers of the account and says, one line each, how each answered.
QString testMailAccount(const MailAccount& account, const MailOptions& options);

}  // namespace kestrum
