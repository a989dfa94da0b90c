#pragma once

#include "mail/processed_mails.h"

#include <QString>
#include <QStringList>

#include <stdexcept>

namespace kestrum {

// A failure of the mail back end; its description is what the log shows after the failure line.
class MailError : public std::runtime_error {
public:
    explicit MailError(const QString& description)
        : std::runtime_error(description.toStdString()), m_description(description) {}
    const QString& description() const { return m_description; }

private:
    QString m_description;
};

struct OutgoingMail {
    QString recipient;
    QString subject;
    QString body;  // lines end CR LF
};

// The messaging operations the program needs. Every operation may throw MailError; the mails
// fetched keep their numbers 0..messageCount() - 1 until the next fetch, deletions included.
class MailBackend {
public:
    virtual ~MailBackend() = default;

    // Opens a session. downloadMail: incoming mail will be fetched in it; logonUi: the back end
    // may ask the user for the account when none is set up. A failure leaves no session open.
    virtual void signOn(bool downloadMail, bool logonUi) = 0;
    // Closes the session, removing the mails deleted in it; without a session it does nothing.
    virtual void signOff() = 0;
    // The program's session-open flag, kept by the back end: what is set is read back.
    virtual bool newSession() const = 0;
    virtual void setNewSession(bool open) = 0;

    // Loads the unread mails of the inbox, and those already seen whose unique id `processed`
    // holds: their commands ran in a session that ended before it could delete them.
    virtual void fetchUnread(const ProcessedMails& processed) = 0;
    virtual int messageCount() const = 0;
    // False for a mail that cannot be read safely (a header that does not parse, parts nested
    // too deep, too big for a command mail): it is treated like a refused mail.
    virtual bool readable(int index) = 0;
    // What identifies the mail on the server for as long as the server keeps it: UIDVALIDITY
    // and UID over IMAP, the UIDL over POP3.
    virtual QString uniqueId(int index) = 0;
    // The whole subject as sent, unfolded and with encoded words decoded; nothing else changed.
    virtual QString subject(int index) = 0;
    // The address (addr-spec) of the From header, as in "owner@example.org"; never a display
    // name.
    virtual QString sender(int index) = 0;
    // The values of the mail's Authentication-Results headers, unfolded, topmost first.
    virtual QStringList authenticationResults(int index) = 0;
    // The plain text of the mail, decoded; reading it marks the mail seen.
    virtual QString body(int index) = 0;
    // Deletes a fetched mail from the mailbox.
    virtual void deleteMessage(int index) = 0;

    // Sends a mail from the account's sender address within the open session.
    virtual void send(const OutgoingMail& mail) = 0;
};

}  // namespace kestrum
