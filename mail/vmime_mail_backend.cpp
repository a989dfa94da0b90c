#include "vmime_mail_backend.h"

#include "mail/logging.h"
#include "mail/outgoing_message.h"

#include <vmime/mailboxList.hpp>
#include <vmime/net/fetchAttributes.hpp>
#include <vmime/net/imap/IMAPFolder.hpp>
#include <vmime/net/messageSet.hpp>
#include <vmime/net/pop3/POP3Command.hpp>
#include <vmime/net/pop3/POP3Response.hpp>
#include <vmime/net/pop3/POP3Store.hpp>
#include <vmime/utility/inputStreamStringAdapter.hpp>
#include <vmime/utility/outputStreamStringAdapter.hpp>

namespace kestrum {

namespace {

namespace net = vmime::net;

void disconnectQuietly(net::service* service) {
    try {
        if (service && service->isConnected()) {
            service->disconnect();
        }
    } catch (const std::exception&) {
        // The session is being dropped; nothing more can be done with it.
    }
}

}  // namespace

VmimeMailBackend::VmimeMailBackend(SettingsStore& store, PasswordStore& passwords,
                                   AccountPrompt& prompt, MailOptions options)
    : m_store(store), m_passwords(passwords), m_prompt(prompt), m_connector(std::move(options)) {}

VmimeMailBackend::~VmimeMailBackend() {
    // The goodbye gets an operation's time of its own, whatever the session has used.
    m_connector.endSession();
    m_connector.startOperation();
    dropSession();
}

MailAccount VmimeMailBackend::accountForSession(bool logonUi) {
    // Unsaved, the choice is made again at the next session.
    skipOnStoreError([this] { completeMailAccount(m_store); });
    MailAccount account = loadMailAccount(m_store, m_passwords);
    if (account.isSetUp()) {
        return account;
    }
    // A prompt that was cancelled, or that cannot be shown (the program runs without windows),
    // leaves the account where it was: the reason names where to set it.
    const MailError missing(
        QStringLiteral("no mail account is set up: set it in the settings window"));
    if (!logonUi) {
        throw missing;
    }
    std::optional<MailAccount> entered =
        m_prompt.askAccount(account, m_passwords.keepsInSettingsFile());
    if (!entered) {
        throw missing;
    }
    if (!entered->isSetUp()) {
        throw MailError(QStringLiteral("the mail account lacks an incoming or outgoing server"));
    }
    try {
        saveMailAccount(m_store, m_passwords, *entered);
    } catch (const std::exception& e) {
        // The account still serves this session; the user is asked again next time.
        qCWarning(lcMail).noquote() << "The mail account was not saved:" << e.what();
    }
    return *entered;
}

void VmimeMailBackend::signOn(bool downloadMail, bool logonUi) {
    if (m_open) {
        signOff();
    }
    m_account = accountForSession(logonUi);
    m_connector.startSession();
    m_connector.startOperation();
    if (downloadMail) {
        try {
            m_incoming = m_connector.connectIncoming(m_account);
            m_inbox = m_incoming->getFolder(net::folder::path("INBOX"));
            m_inbox->open(net::folder::MODE_READ_WRITE);
        } catch (const MailError&) {
            dropSession();
            throw;
        } catch (const std::exception& e) {
            dropSession();
            throw MailError(m_connector.describe(
                QStringLiteral("opening the %1 inbox").arg(incomingProtocol()), e));
        }
    }
    m_open = true;
}

void VmimeMailBackend::signOff() {
    if (!m_open) {
        return;
    }
    std::optional<MailError> failure;
    try {
        m_connector.startOperation();
        if (m_inbox) {
            // Over IMAP the deletions are expunged first and the answer awaited: a close with
            // expunge does not wait for the server, which may still be deleting, or failing to,
            // after sign-off. Over POP3 closing with expunge keeps QUIT from being preceded by
            // RSET.
            if (isImap()) {
                m_inbox->expunge();
            }
            m_inbox->close(!isImap());
            m_inbox.reset();
        }
        if (m_incoming) {
            quitPop3();
            // After POP3's QUIT the server has closed the connection.
            if (m_incoming->isConnected()) {
                m_incoming->disconnect();
            }
        }
    } catch (const std::exception& e) {
        failure = MailError(
            m_connector.describe(QStringLiteral("%1 sign-off").arg(incomingProtocol()), e));
    }
    dropSession();
    if (failure) {
        throw *failure;
    }
}

// POP3 deletes at QUIT, and VMime ignores the answer to its own: a link lost then would pass
// for a session that deleted its mails. The answer is awaited here; VMime's QUIT that follows
// meets a closed connection, which does no harm.
void VmimeMailBackend::quitPop3() {
    auto* pop3 = dynamic_cast<net::pop3::POP3Store*>(m_incoming.get());
    if (!pop3 || !pop3->isConnected()) {
        return;
    }
    const std::shared_ptr<net::pop3::POP3Connection> connection = pop3->getConnection();
    net::pop3::POP3Command::QUIT()->send(connection);
    const auto answer = net::pop3::POP3Response::readResponse(connection);
    if (!answer->isSuccess()) {
        throw MailError(QStringLiteral("the POP3 server did not delete the mails: %1")
                            .arg(QString::fromStdString(answer->getText())));
    }
}

// VMime's folder leaves its store's list of folders only when it closes cleanly. One whose
// connection broke stays listed after it is gone, and the store, when it disconnects in its own
// end, would then reach into the freed folder and crash when a link is lost after SELECT. So the
// store is disconnected first, while the folder lives: that empties the list, and the folder
// then ends on its own.
void VmimeMailBackend::dropSession() {
    disconnectQuietly(m_incoming.get());
    m_fetched.clear();
    m_inbox.reset();
    m_incoming.reset();
    disconnectQuietly(m_outgoing.get());
    m_outgoing.reset();
    m_connector.endSession();
    m_open = false;
}

bool VmimeMailBackend::isImap() const {
    return incomingProtocol() == QStringLiteral("IMAP");
}

vmime::net::folder& VmimeMailBackend::inbox() {
    if (!m_inbox) {
        throw MailError(QStringLiteral("no session for incoming mail is open"));
    }
    return *m_inbox;
}

void VmimeMailBackend::fetchUnread(const ProcessedMails& processed) {
    net::folder& folder = inbox();
    m_connector.startOperation();
    m_fetched.clear();
    try {
        // Fresh after SELECT; only an expunge, which comes at sign-off, makes it stale.
        const size_t count = folder.getMessageCount();
        if (count == 0) {
            return;
        }
        std::vector<std::shared_ptr<net::message>> all =
            folder.getMessages(net::messageSet::byNumber(1, count));
        std::vector<std::shared_ptr<net::message>> unread;
        std::vector<std::shared_ptr<net::message>> leftBehind;
        if (isImap()) {
            // There is no SEARCH in VMime: the flags of every mail tell the unseen ones.
            folder.fetchMessages(
                all, net::fetchAttributes(net::fetchAttributes::FLAGS | net::fetchAttributes::UID));
            for (const auto& message : all) {
                if (!(message->getFlags() & net::message::FLAG_SEEN)) {
                    unread.push_back(message);
                } else if (processed.contains(idOf(*message))) {
                    leftBehind.push_back(message);
                }
            }
        } else {
            unread = all;
        }
        if (!unread.empty()) {
            // The UID is the UIDL over POP3; over IMAP it came with the flags. VMime's own header
            // fetch parses every mail's header in one go, and one it cannot parse fails them all.
            folder.fetchMessages(unread, net::fetchAttributes(net::fetchAttributes::SIZE |
                                                              net::fetchAttributes::UID));
        }
        for (const auto& message : unread) {
            m_fetched.push_back({message, download(*message), false, false});
        }
        // Only to be deleted: their text is neither needed nor fetched.
        for (const auto& message : leftBehind) {
            m_fetched.push_back({message, MailContent{}, true, false});
        }
    } catch (const std::exception& e) {
        m_fetched.clear();
        throw MailError(m_connector.describe(
            QStringLiteral("fetching the %1 inbox").arg(incomingProtocol()), e));
    }
}

MailContent VmimeMailBackend::download(const net::message& message) const {
    if (message.getSize() > static_cast<size_t>(kMaxMailSize)) {
        return {};
    }
    vmime::string raw;
    vmime::utility::outputStreamStringAdapter out(raw);
    // Peek: reading the text is what marks a mail seen. Over IMAP the length also bounds what a
    // server that misstated the size can send.
    message.extract(out, nullptr, 0, kMaxMailSize + 1, true);
    // VMime's POP3 takes the last line end for part of the terminating ".".
    if (!isImap() && !raw.empty() && raw.back() != '\n') {
        raw += "\r\n";
    }
    return readMail(QByteArray::fromStdString(raw));
}

VmimeMailBackend::Fetched& VmimeMailBackend::fetched(int index) {
    if (index < 0 || index >= messageCount()) {
        throw MailError(QStringLiteral("there is no fetched mail number %1").arg(index));
    }
    return m_fetched[static_cast<size_t>(index)];
}

bool VmimeMailBackend::readable(int index) {
    return fetched(index).content.readable;
}

// An IMAP UID names a mail only together with the folder's UIDVALIDITY, which the server
// changes when it numbers the folder's mails anew.
QString VmimeMailBackend::uniqueId(int index) {
    return idOf(*fetched(index).message);
}

QString VmimeMailBackend::idOf(const net::message& message) const {
    const QString uid = QString::fromStdString(message.getUID());
    const auto* imap = dynamic_cast<const net::imap::IMAPFolder*>(m_inbox.get());
    if (uid.isEmpty() || !imap) {
        return uid;
    }
    return QStringLiteral("%1:%2").arg(imap->getUIDValidity()).arg(uid);
}

QStringList VmimeMailBackend::authenticationResults(int index) {
    return fetched(index).content.authenticationResults;
}

QString VmimeMailBackend::subject(int index) {
    return fetched(index).content.subject;
}

QString VmimeMailBackend::sender(int index) {
    return fetched(index).content.sender;
}

QString VmimeMailBackend::body(int index) {
    Fetched& mail = fetched(index);
    if (!mail.content.readable) {
        throw MailError(QStringLiteral("%1 mail number %2 cannot be read safely")
                            .arg(incomingProtocol())
                            .arg(index));
    }
    if (isImap() && !mail.seen) {
        net::folder& folder = inbox();
        m_connector.startOperation();
        try {
            folder.setMessageFlags(net::messageSet::byUID(mail.message->getUID()),
                                   net::message::FLAG_SEEN, net::message::FLAG_MODE_ADD);
        } catch (const std::exception& e) {
            throw MailError(m_connector.describe(
                QStringLiteral("marking %1 mail number %2 seen").arg(incomingProtocol()).arg(index),
                e));
        }
    }
    mail.seen = true;
    return mail.content.text;
}

void VmimeMailBackend::deleteMessage(int index) {
    Fetched& mail = fetched(index);
    if (mail.deleted) {
        return;
    }
    net::folder& folder = inbox();
    m_connector.startOperation();
    try {
        // By UID over IMAP, so the mail found is the one fetched whatever happened since.
        folder.deleteMessages(isImap() ? net::messageSet::byUID(mail.message->getUID())
                                       : net::messageSet::byNumber(mail.message->getNumber()));
        mail.deleted = true;
    } catch (const std::exception& e) {
        throw MailError(m_connector.describe(
            QStringLiteral("deleting %1 mail number %2").arg(incomingProtocol()).arg(index), e));
    }
}

void VmimeMailBackend::send(const OutgoingMail& mail) {
    if (!m_open) {
        throw MailError(QStringLiteral("no mail session is open"));
    }
    m_connector.startOperation();
    if (!m_outgoing) {
        m_outgoing = m_connector.connectOutgoing(m_account);
    }
    try {
        const std::string wire = buildOutgoingMessage(m_account.senderAddress, mail);
        vmime::mailboxList recipients;
        recipients.appendMailbox(std::make_shared<vmime::mailbox>(mail.recipient.toStdString()));
        vmime::utility::inputStreamStringAdapter in(wire);
        m_outgoing->send(vmime::mailbox(m_account.senderAddress.toStdString()), recipients, in,
                         wire.size());
    } catch (const std::exception& e) {
        // A connection that failed once is not trusted with the next mail.
        disconnectQuietly(m_outgoing.get());
        m_outgoing.reset();
        throw MailError(
            m_connector.describe(QStringLiteral("sending the mail to %1").arg(mail.recipient), e));
    }
}

}  // namespace kestrum
