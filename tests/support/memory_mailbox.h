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
        bool readable = true;
        QString uniqueId;
        QStringList authenticationResults;
    };

    void signOn(bool downloadMail, bool logonUi) override;
    void signOff() override;
    bool newSession() const override { return m_newSession; }
    void setNewSession(bool open) override { m_newSession = open; }
    void fetchUnread(const ProcessedMails& processed) override;
    int messageCount() const override { return static_cast<int>(m_fetched.size()); }
    bool readable(int index) override { return fetched(index).readable; }
    QString uniqueId(int index) override { return fetched(index).uniqueId; }
    QString subject(int index) override;
    QString sender(int index) override;
    QStringList authenticationResults(int index) override {
        return fetched(index).authenticationResults;
    }
    QString body(int index) override;
    void deleteMessage(int index) override;
    void send(const OutgoingMail& mail) override;

    // Puts a mail in the inbox, with a unique id of its own; returns it for further setting.
    Mail& deliver(const QString& subject, const QString& sender, const QString& body);
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
    int m_delivered = 0;
};

}  // namespace kestrum::testing
