#include "logon_dialog.h"

#include "core/tested_form.h"

#include <QCheckBox>
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
      m_sender(new QLineEdit(current.senderAddress)),
      m_plainTextAllowed(new QCheckBox(tr("Allow an unencrypted connection (not recommended)"))) {
    setWindowTitle(tr("Mail account"));
    m_incoming->setObjectName(QStringLiteral("incoming"));
    m_incoming->setPlaceholderText(QStringLiteral("imaps://mail.example.org:993"));
    m_outgoing->setObjectName(QStringLiteral("outgoing"));
    m_outgoing->setPlaceholderText(QStringLiteral("smtps://mail.example.org:465"));
    m_user->setObjectName(QStringLiteral("user"));
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_sender->setObjectName(QStringLiteral("sender"));
    m_plainTextAllowed->setObjectName(QStringLiteral("plainTextAllowed"));
    m_plainTextAllowed->setChecked(current.plainTextAllowed);
    m_plainTextAllowed->setToolTip(
        tr("Lets imap://, pop3:// and smtp:// servers that refuse STARTTLS be sent the password "
           "and the mails readable by anyone on the way."));

    auto* form = new QFormLayout;
    form->addRow(tr("Incoming server:"), m_incoming);
    form->addRow(tr("Outgoing server:"), m_outgoing);
    form->addRow(tr("User:"), m_user);
    form->addRow(tr("Password:"), m_password);
    form->addRow(tr("Sender address:"), m_sender);
    form->addRow(m_plainTextAllowed);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    m_report = addTestedFormFoot(*this, *layout, passwordInSettingsFile,
                                 [this] { return m_tester(account()); });
}

MailAccount LogonDialog::account() const {
    return {m_incoming->text().trimmed(),
            m_outgoing->text().trimmed(),
            m_user->text(),
            m_password->text(),
            m_sender->text().trimmed(),
            m_plainTextAllowed->isChecked()};
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
