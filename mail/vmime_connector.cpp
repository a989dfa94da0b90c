#include "vmime_connector.h"

#include "mail/logging.h"
#include "mail/mail_backend.h"
#include "mail/tls_trust.h"

#include <QUrl>

#include <vmime/platforms/posix/posixHandler.hpp>
#include <vmime/security/cert/certificateException.hpp>

namespace kestrum {

namespace {

struct ServerUrl {
    QString scheme;
    QString host;
    int port = 0;
};

ServerUrl parseUrl(const QString& text, const QStringList& schemes, const QString& role) {
    const QUrl url(text.trimmed());
    ServerUrl server{url.scheme().toLower(), url.host(), url.port(0)};
    if (!url.isValid() || !schemes.contains(server.scheme) || server.host.isEmpty()) {
        throw MailError(
            QStringLiteral("the %1 server \"%2\" is not a URL of the form %3://host:port")
                .arg(role, text, schemes.join(QLatin1Char('|'))));
    }
    return server;
}

bool isPlainScheme(const QString& scheme) {
    return !scheme.endsWith(QLatin1Char('s'));
}

// VMime asks for TLS with STARTTLS (STLS over POP3) and fails with that command's error.
bool refusedTls(const std::exception& failure) {
    const auto* refusal = dynamic_cast<const vmime::exceptions::command_error*>(&failure);
    return refusal && (refusal->command() == "STARTTLS" || refusal->command() == "STLS");
}

// A connection that was up and broke, as opposed to one that could not be made.
bool connectionLost(const std::exception& failure) {
    return dynamic_cast<const vmime::exceptions::socket_exception*>(&failure) &&
           !dynamic_cast<const vmime::exceptions::connection_error*>(&failure);
}

// Said at every session that goes without TLS, for as long as the user allows it.
void warnIfPlain(const vmime::net::service& service, const QString& doing) {
    if (!service.isSecuredConnection()) {
        qCWarning(lcMail).noquote()
            << doing
            << "went without TLS: the password and the mails crossed the network "
               "readable. Use a server that offers TLS to stop this.";
    }
}

void disconnectQuietly(vmime::net::service& service) {
    try {
        if (service.isConnected()) {
            service.disconnect();
        }
    } catch (const std::exception&) {
        // Already failing: the first failure is the one worth reporting.
    }
}

void installPlatformHandler() {
    static const bool installed = [] {
        vmime::platform::setHandler<vmime::platforms::posix::posixHandler>();
        return true;
    }();
    (void)installed;
}

}  // namespace

QString protocolName(const QString& url) {
    const QString scheme = QUrl(url.trimmed()).scheme().toLower();
    if (scheme.startsWith(QStringLiteral("imap"))) {
        return QStringLiteral("IMAP");
    }
    if (scheme.startsWith(QStringLiteral("pop3"))) {
        return QStringLiteral("POP3");
    }
    if (scheme.startsWith(QStringLiteral("smtp"))) {
        return QStringLiteral("SMTP");
    }
    return scheme;
}

VmimeConnector::VmimeConnector(MailOptions options)
    : m_options(std::move(options)), m_deadline(m_options.deadline, m_options.sessionLimit) {
    installPlatformHandler();
    m_session = vmime::net::session::create();
}

void VmimeConnector::startOperation() {
    if (m_deadline.sessionPassed()) {
        throw MailError(sessionTooLong());
    }
    m_deadline.start();
}

QString VmimeConnector::sessionTooLong() const {
    return QStringLiteral("the mail session took longer than %1 s")
        .arg(m_deadline.sessionLimit().count() / 1000.0);
}

std::shared_ptr<vmime::security::cert::certificateVerifier> VmimeConnector::verifier() {
    // Reading the system bundle takes a while; one copy serves every connection.
    if (!m_verifier) {
        m_verifier = makeCertificateVerifier(m_options.extraCaFile);
    }
    return m_verifier;
}

void VmimeConnector::configure(vmime::net::service& service, const MailAccount& account,
                               bool plainScheme) {
    service.setCertificateVerifier(verifier());
    service.setTimeoutHandlerFactory(m_deadline.handlerFactory());
    service.setProperty("connection.tls", plainScheme);
    // A server, or anyone on the path, that answers STARTTLS with a refusal would otherwise be
    // sent the password as it stands.
    service.setProperty("connection.tls.required", !account.plainTextAllowed);
    service.setProperty("auth.username", account.user.toStdString());
    service.setProperty("auth.password", account.password.toStdString());
}

std::shared_ptr<vmime::net::store> VmimeConnector::connectIncoming(const MailAccount& account) {
    const ServerUrl server = parseUrl(account.incomingUrl,
                                      {QStringLiteral("imap"), QStringLiteral("imaps"),
                                       QStringLiteral("pop3"), QStringLiteral("pop3s")},
                                      QStringLiteral("incoming"));
    const QString doing = QStringLiteral("%1 log-on to %2:%3")
                              .arg(protocolName(account.incomingUrl), server.host)
                              .arg(server.port);
    std::shared_ptr<vmime::net::store> store;
    try {
        const vmime::utility::url url(server.scheme.toStdString(), server.host.toStdString(),
                                      server.port);
        store = m_session->getStore(url);
        configure(*store, account, isPlainScheme(server.scheme));
        // SASL makes a wrong password take several seconds longer to fail, for nothing gained
        // over LOGIN or USER/PASS inside TLS.
        store->setProperty("options.sasl", false);
        store->setProperty("options.sasl.fallback", false);
        store->connect();
        warnIfPlain(*store, doing);
        return store;
    } catch (const std::exception& e) {
        if (store) {
            disconnectQuietly(*store);
        }
        throw MailError(describe(doing, e));
    }
}

namespace {
// VMime's only sign that the server's EHLO offered no AUTH at all.
bool offeredNoLogOn(const vmime::exceptions::authentication_error& failure) {
    return failure.response() == "No SASL mechanism available.";
}
}  // namespace

std::shared_ptr<vmime::net::transport> VmimeConnector::connectOutgoing(const MailAccount& account) {
    const ServerUrl server =
        parseUrl(account.outgoingUrl, {QStringLiteral("smtp"), QStringLiteral("smtps")},
                 QStringLiteral("outgoing"));
    const QString doing = QStringLiteral("SMTP log-on to %1:%2").arg(server.host).arg(server.port);
    const bool logOn = !account.user.isEmpty();
    const bool plainScheme = isPlainScheme(server.scheme);
    try {
        const vmime::utility::url url(server.scheme.toStdString(), server.host.toStdString(),
                                      server.port);
        try {
            return connectTransport(url, account, plainScheme, logOn);
        } catch (const vmime::exceptions::authentication_error& e) {
            // A relay on the local network takes mail without log-on and says so by offering
            // none; a server that offers one still gets the user and password above.
            if (!logOn || !offeredNoLogOn(e)) {
                throw;
            }
            return connectTransport(url, account, plainScheme, false);
        }
    } catch (const std::exception& e) {
        throw MailError(describe(doing, e));
    }
}

std::shared_ptr<vmime::net::transport> VmimeConnector::connectTransport(
    const vmime::utility::url& url, const MailAccount& account, bool plainScheme, bool logOn) {
    std::shared_ptr<vmime::net::transport> transport = m_session->getTransport(url);
    try {
        configure(*transport, account, plainScheme);
        // VMime's SMTP can authenticate only through SASL.
        transport->setProperty("options.sasl", true);
        transport->setProperty("options.need-authentication", logOn);
        transport->connect();
        warnIfPlain(*transport, QStringLiteral("SMTP log-on to %1:%2")
                                    .arg(QString::fromStdString(url.getHost()))
                                    .arg(url.getPort()));
        return transport;
    } catch (...) {
        disconnectQuietly(*transport);
        throw;
    }
}

QString VmimeConnector::describe(const QString& doing, const std::exception& failure) const {
    if (const auto* mail = dynamic_cast<const MailError*>(&failure)) {
        return QStringLiteral("%1 failed: %2").arg(doing, mail->description());
    }
    if (m_deadline.sessionPassed()) {
        return QStringLiteral("%1 failed: %2").arg(doing, sessionTooLong());
    }
    if (dynamic_cast<const vmime::exceptions::operation_timed_out*>(&failure) ||
        m_deadline.passed()) {
        return QStringLiteral("%1 failed: the server did not finish within %2 s")
            .arg(doing)
            .arg(m_deadline.limit().count() / 1000.0);
    }
    if (refusedTls(failure)) {
        return QStringLiteral(
                   "%1 failed: the server refused STARTTLS, so the password was not "
                   "sent. Use a server address that starts with TLS (imaps://, "
                   "pop3s://, smtps://), or allow an unencrypted connection in the "
                   "mail account form")
            .arg(doing);
    }
    QString text = QString::fromStdString(failure.what());
    if (connectionLost(failure)) {
        // VMime words a connection that went away after a while (a keep-alive without answer)
        // as "Unknown error.": the user needs to know that the link, not the server, failed.
        text = text.startsWith(QLatin1String("Unknown error"))
                   ? QStringLiteral("the connection to the server was lost")
                   : QStringLiteral("the connection to the server was lost (%1)").arg(text);
    }
    if (dynamic_cast<const vmime::security::cert::certificateException*>(&failure)) {
        text = QStringLiteral("the server's certificate is not trusted (%1)").arg(text);
    }
    if (const auto* chained = dynamic_cast<const vmime::exception*>(&failure)) {
        for (const vmime::exception* other = chained->other(); other; other = other->other()) {
            text += QStringLiteral(": ") + QString::fromStdString(other->what());
        }
    }
    return QStringLiteral("%1 failed: %2").arg(doing, text.trimmed());
}

QString testMailAccount(const MailAccount& account, const MailOptions& options) {
    VmimeConnector connector(options);
    const auto tryServer = [&](const QString& role, auto connect) {
        try {
            connector.startOperation();
            auto service = connect();
            const bool secured = service->isSecuredConnection();
            disconnectQuietly(*service);
            return QStringLiteral("%1: OK%2")
                .arg(role, secured ? QStringLiteral(", TLS") : QStringLiteral(", not encrypted"));
        } catch (const MailError& e) {
            return QStringLiteral("%1: %2").arg(role, e.description());
        }
    };
    return tryServer(QStringLiteral("Incoming"),
                     [&] { return connector.connectIncoming(account); }) +
           QLatin1Char('\n') + tryServer(QStringLiteral("Outgoing"), [&] {
               return connector.connectOutgoing(account);
           });
}

}  // namespace kestrum
