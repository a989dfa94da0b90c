#include "tested_form.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kestrum {

namespace {

// Server URLs run to about 40 characters; a field cut short hides the port at their end.
constexpr int kShownCharacters = 40;

void widenFields(QDialog& dialog) {
    for (QLineEdit* field : dialog.findChildren<QLineEdit*>()) {
        const QMargins text = field->textMargins();
        // QLineEdit keeps 2 pixels on either side of its text, inside the frame.
        const int inside = text.left() + text.right() + 2 * 2 +
                           2 * field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        const QString sample(kShownCharacters, QLatin1Char('n'));
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(sample) + inside);
    }
}

}  // namespace

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
    widenFields(dialog);
    return report;
}

}  // namespace kestrum
