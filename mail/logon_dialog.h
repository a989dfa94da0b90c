#pragma once

#include "mail/account_prompt.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace kestrum {

// The mail account form: servers, user, password, sender address, a server test, OK/Cancel.
class LogonDialog : public QDialog {
    Q_OBJECT
public:
    // tester tries both servers of an account and returns its report for the user to read.
    using Tester = std::function<QString(const MailAccount&)>;

    LogonDialog(const MailAccount& current, bool passwordInSettingsFile, Tester tester,
                QWidget* parent = nullptr);

    // The account as the form shows it now.
    MailAccount account() const;
    // The last test report; empty before the first test.
    QString testReport() const;

private:
    Tester m_tester;
    QLineEdit* m_incoming;
    QLineEdit* m_outgoing;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QLineEdit* m_sender;
    QCheckBox* m_plainTextAllowed;
    QLabel* m_report = nullptr;
};

// Asks for the account with a LogonDialog.
class LogonDialogPrompt : public AccountPrompt {
public:
    LogonDialogPrompt(LogonDialog::Tester tester, QWidget* parent = nullptr);

    std::optional<MailAccount> askAccount(const MailAccount& current,
                                          bool passwordInSettingsFile) override;

private:
    LogonDialog::Tester m_tester;
    QWidget* m_parent;
};

}  // namespace kestrum
