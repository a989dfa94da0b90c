#pragma once

#include "mail/mail_backend.h"

namespace kestrum {

// Stands in while this build has no mail back end: every sign-on fails with a clear reason,
// which the log shows after the failure line.
class UnavailableMailBackend : public MailBackend {
public:
    void signOn(bool, bool) override {
        throw MailError(QStringLiteral("This build of Kestrum has no mail back end."));
    }
    void signOff() override {}
    bool newSession() const override { return m_newSession; }
    void setNewSession(bool open) override { m_newSession = open; }
    void fetchUnread() override {}
    int messageCount() const override { return 0; }
    QString subject(int) override { return {}; }
    QString sender(int) override { return {}; }
    QString body(int) override { return {}; }
    void deleteMessage(int) override {}
    void send(const OutgoingMail&) override {}

private:
    bool m_newSession = false;
};

}  // namespace kestrum
