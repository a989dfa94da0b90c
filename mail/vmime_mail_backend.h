#pragma once

#include "mail/account_prompt.h"
#include "mail/mail_backend.h"
#include "mail/mail_options.h"
#include "mail/password_store.h"
#include "mail/raw_mail.h"
#include "mail/vmime_connector.h"

#include "core/settings_store.h"

#include <vmime/net/folder.hpp>

#include <optional>
#include <vector>

namespace kestrum {

// The mail back end over VMime: IMAP or POP3 in, SMTP out, account in section "Post".
//
// Over IMAP a mail counts as unread while it lacks \Seen; reading its body sets \Seen, so a
// mail left undeleted by a failed session is fetched again only while the processed mails list
// it, to be deleted. POP3 keeps no such mark: every mail in the maildrop is unread. Deletions
// take effect when the session is signed off.
//
// Each unread mail is downloaded whole when fetched and read on its own (raw_mail.h), so one
// mail that does not parse leaves the others readable. A mail over kMaxMailSize is not
// downloaded at all. Asking for the body of a mail that is not readable throws MailError.
class VmimeMailBackend : public MailBackend {
public:
    // prompt is asked for the account when signOn's logonUi allows it and none is set up.
    VmimeMailBackend(SettingsStore& store, PasswordStore& passwords, AccountPrompt& prompt,
                     MailOptions options = {});
    // Drops any open session without removing the mails deleted in it.
    ~VmimeMailBackend() override;

    void signOn(bool downloadMail, bool logonUi) override;
    void signOff() override;
    bool newSession() const override { return m_newSessionFlag; }
    void setNewSession(bool open) override { m_newSessionFlag = open; }

    void fetchUnread(const ProcessedMails& processed) override;
    int messageCount() const override { return static_cast<int>(m_fetched.size()); }
    bool readable(int index) override;
    QString uniqueId(int index) override;
    QString subject(int index) override;
    QStringList authenticationResults(int index) override;
    QString sender(int index) override;
    QString body(int index) override;
    void deleteMessage(int index) override;

    void send(const OutgoingMail& mail) override;

private:
    struct Fetched {
        std::shared_ptr<vmime::net::message> message;
        MailContent content;
        bool seen = false;
        bool deleted = false;
    };

    MailAccount accountForSession(bool logonUi);
    Fetched& fetched(int index);
    MailContent download(const vmime::net::message& message) const;
    QString idOf(const vmime::net::message& message) const;
    vmime::net::folder& inbox();
    bool isImap() const;
    void quitPop3();
    void dropSession();
    QString incomingProtocol() const { return protocolName(m_account.incomingUrl); }

    SettingsStore& m_store;
    PasswordStore& m_passwords;
    AccountPrompt& m_prompt;
    VmimeConnector m_connector;

    bool m_open = false;
    bool m_newSessionFlag = false;
    MailAccount m_account;
    std::shared_ptr<vmime::net::store> m_incoming;
    std::shared_ptr<vmime::net::folder> m_inbox;
    std::shared_ptr<vmime::net::transport> m_outgoing;
    std::vector<Fetched> m_fetched;
};

}  // namespace kestrum
