#include "memory_mailbox.h"

#include <algorithm>

namespace kestrum::testing {

void MemoryMailbox::check(Operation operation) {
    if (onOperation) {
        onOperation(operation);
    }
    const auto failure = m_failures.find(operation);
    if (failure == m_failures.end() || failure->first-- > 0) {
        return;
    }
    const QString description = failure->second;
    m_failures.erase(failure);
    throw MailError(description);
}

void MemoryMailbox::failAt(Operation operation, const QString& description, int goodCalls) {
    m_failures.insert(operation, {goodCalls, description});
}

MemoryMailbox::Mail& MemoryMailbox::deliver(const QString& subject, const QString& sender,
                                            const QString& body) {
    Mail& mail = inbox.emplace_back();
    mail.subject = subject;
    mail.sender = sender;
    mail.body = body;
    mail.uniqueId = QStringLiteral("uid-%1").arg(++m_delivered);
    return mail;
}

MemoryMailbox::Mail& MemoryMailbox::fetched(int index) {
    return inbox.at(m_fetched.at(static_cast<std::size_t>(index)));
}

void MemoryMailbox::signOn(bool downloadMail, bool) {
    calls << (downloadMail ? QStringLiteral("signOn download") : QStringLiteral("signOn send"));
    check(Operation::SignOn);
    sessionOpen = true;
}

void MemoryMailbox::signOff() {
    calls << QStringLiteral("signOff");
    check(Operation::SignOff);
    sessionOpen = false;
    std::erase_if(inbox, [](const Mail& mail) { return mail.deleted; });
    m_fetched.clear();
}

void MemoryMailbox::fetchUnread(const ProcessedMails& processed) {
    calls << QStringLiteral("fetch");
    check(Operation::Fetch);
    m_fetched.clear();
    for (std::size_t i = 0; i < inbox.size(); ++i) {
        if ((!inbox[i].seen || processed.contains(inbox[i].uniqueId)) && !inbox[i].deleted) {
            m_fetched.push_back(i);
        }
    }
}

QString MemoryMailbox::subject(int index) {
    check(Operation::Subject);
    return fetched(index).subject;
}

QString MemoryMailbox::sender(int index) {
    calls << QStringLiteral("sender %1").arg(index);
    check(Operation::Sender);
    return fetched(index).sender;
}

QString MemoryMailbox::body(int index) {
    calls << QStringLiteral("body %1").arg(index);
    check(Operation::Body);
    fetched(index).seen = true;
    return fetched(index).body;
}

void MemoryMailbox::deleteMessage(int index) {
    calls << QStringLiteral("delete %1").arg(index);
    check(Operation::Delete);
    fetched(index).deleted = true;
}

void MemoryMailbox::send(const OutgoingMail& mail) {
    calls << QStringLiteral("send");
    check(Operation::Send);
    if (!sessionOpen) {
        throw MailError(QStringLiteral("no session is open"));
    }
    sent.push_back(mail);
}

}  // namespace kestrum::testing
