#include "logon_dialog.h"

#include "core/tested_form.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kestrum {

LogonDialog::LogonDialog(const MailAccount& current, bool passwordInSettingsFile, Tester tester,
                         QWidget* parent)
    : QDialog(parent),
      m_tester(std::move(tester)),
      m_incoming(new QLineEdit(current.incomingUrl)),
      m_outgoing(new QLineEdit(current.outgoingUrl)),
      m_user(new QLineEdit(current.user)),
      m_password(new QLineEdit(current.password)),
      m_sender(new QLineEdit(current.senderAddress)) {
    setWindowTitle(tr("Mail account"));
    m_incoming->setObjectName(QStringLiteral("incoming"));
    m_incoming->setPlaceholderText(QStringLiteral("imaps://mail.example.org:993"));
    m_outgoing->setObjectName(QStringLiteral("outgoing"));
    m_outgoing->setPlaceholderText(QStringLiteral("smtps://mail.example.org:465"));
    m_user->setObjectName(QStringLiteral("user"));
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_sender->setObjectName(QStringLiteral("sender"));

    auto* form = new QFormLayout;
    form->addRow(tr("Incoming server:"), m_incoming);
    form->addRow(tr("Outgoing server:"), m_outgoing);
    form->addRow(tr("User:"), m_user);
    form->addRow(tr("Password:"), m_password);
    form->addRow(tr("Sender address:"), m_sender);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    m_report = addTestedFormFoot(*this, *layout, passwordInSettingsFile,
                                 [this] { return m_tester(account()); });
}

MailAccount LogonDialog::account() const {
    return {m_incoming->text().trimmed(), m_outgoing->text().trimmed(), m_user->text(),
            m_password->text(), m_sender->text().trimmed()};
}

QString LogonDialog::testReport() const {
    return m_report->text();
}

LogonDialogPrompt::LogonDialogPrompt(LogonDialog::Tester tester, QWidget* parent)
    : m_tester(std::move(tester)), m_parent(parent) {}

std::optional<MailAccount> LogonDialogPrompt::askAccount(const MailAccount& current,
                                                         bool passwordInSettingsFile) {
    LogonDialog dialog(current, passwordInSettingsFile, m_tester, m_parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.account();
}

}  // namespace kestrum
