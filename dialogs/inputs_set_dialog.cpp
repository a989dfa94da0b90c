#include "inputs_set_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrum {

InputsSetDialog::InputsSetDialog(InputSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
    setObjectName(QStringLiteral("InputsSet"));
    setWindowTitle(QStringLiteral("Input's settings"));
    setModal(true);
    const InputForm form = m_settings.formOnOpening();
    m_name = new QLineEdit(form.name);
    m_name->setObjectName(QStringLiteral("SisendiNimiText"));
    m_mail = new QCheckBox(QStringLiteral("Send mail message if this input's state changes"));
    m_mail->setObjectName(QStringLiteral("MailCheck"));
    m_mail->setChecked(form.mail);
    auto* ok = new QPushButton(QStringLiteral("&Let it be"));
    ok->setObjectName(QStringLiteral("ComOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Forget"));
    cancel->setObjectName(QStringLiteral("ComCancel"));
    connect(ok, &QPushButton::clicked, this, &InputsSetDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &InputsSetDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Inputs \"friendly\" name")));
    layout->addWidget(m_name);
    layout->addWidget(m_mail);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

void InputsSetDialog::accept() {
    InputForm form{m_name->text(), m_mail->isChecked()};
    if (m_settings.ComOK_Click(form)) {
        QDialog::accept();
    }
}

}  // namespace kestrum
