#include "tested_form.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrum {

QLabel* addTestedFormFoot(QDialog& dialog, QVBoxLayout& layout, bool passwordInSettingsFile,
                          std::function<QString()> test) {
    if (passwordInSettingsFile) {
        auto* warning = new QLabel(
            QDialog::tr("No system keyring answers: the password will be kept in the settings "
                        "file, readable by your user account only."));
        warning->setObjectName(QStringLiteral("passwordWarning"));
        warning->setWordWrap(true);
        layout.addWidget(warning);
    }
    auto* report = new QLabel;
    report->setObjectName(QStringLiteral("report"));
    report->setWordWrap(true);
    report->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout.addWidget(report);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
    QPushButton* testButton = buttons->addButton(QDialog::tr("Test"), QDialogButtonBox::ActionRole);
    testButton->setObjectName(QStringLiteral("test"));
    QObject::connect(testButton, &QPushButton::clicked, &dialog, [report, test] {
        report->setText(QDialog::tr("Testing..."));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        report->repaint();
        const QString result = test();
        QApplication::restoreOverrideCursor();
        report->setText(result);
    });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout.addWidget(buttons);
    return report;
}

}  // namespace kestrum
