#pragma once

#include "mail/mail_backend.h"

#include <QMap>
#include <QStringList>

#include <functional>

#include <vector>

namespace kestrum::testing {

// A mailbox in memory behind the back-end interface, with failures scripted per operation.
class MemoryMailbox : public MailBackend {
public:
    enum class Operation { SignOn, SignOff, Fetch, Subject, Sender, Body, Delete, Send };

    struct Mail {
        QString subject;
        QString sender;
        QString body;
        bool seen = false;
        bool deleted = false;
    };

    void signOn(bool downloadMail, bool logonUi) override;
    void signOff() override;
    bool newSession() const override { return m_newSession; }
    void setNewSession(bool open) override { m_newSession = open; }
    void fetchUnread() override;
    int messageCount() const override { return static_cast<int>(m_fetched.size()); }
    QString subject(int index) override;
    QString sender(int index) override;
    QString body(int index) override;
    void deleteMessage(int index) override;
    void send(const OutgoingMail& mail) override;

    void deliver(const QString& subject, const QString& sender, const QString& body);
    // The next call of the operation, after `goodCalls` more that succeed, throws MailError.
    void failAt(Operation operation, const QString& description, int goodCalls = 0);

    // Called as each operation starts, before a scripted failure.
    std::function<void(Operation)> onOperation;
    std::vector<Mail> inbox;
    std::vector<OutgoingMail> sent;
    QStringList calls;  // "signOn download", "signOff", "body 0", ...
    bool sessionOpen = false;

private:
    void check(Operation operation);
    Mail& fetched(int index);

    std::vector<std::size_t> m_fetched;
    QMap<Operation, std::pair<int, QString>> m_failures;
    bool m_newSession = false;
};

}  // namespace kestrum::testing
