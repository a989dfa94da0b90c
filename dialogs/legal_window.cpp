#include "legal_window.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrum {

LegalWindow::LegalWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Legal"));
    setWindowTitle(QStringLiteral("Kaugvool"));
    setModal(true);
    setMinimumWidth(440);
    auto* layout = new QVBoxLayout(this);
    auto* product = new QLabel(QStringLiteral("Kestrum"));
    QFont large = product->font();
    large.setPointSize(large.pointSize() * 3);
    large.setBold(true);
    product->setFont(large);
    product->setAlignment(Qt::AlignCenter);
    layout->addWidget(product);
    for (const QString& line :
         {QStringLiteral("E-switch-box, driven by email, timer or manually"),
          QStringLiteral("ver. 3.0.1- beta"),
          QStringLiteral("Free to use, share and change under the GNU General Public License, "
                         "version 3 or later."),
          QStringLiteral("Thanks to everyone who built, tested and mended the box with us.")}) {
        auto* label = new QLabel(line);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto* ok = new QPushButton(QStringLiteral("&So what?"));
    ok->setObjectName(QStringLiteral("ComOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &LegalWindow::accept);
    layout->addWidget(ok, 0, Qt::AlignCenter);
}

}  // namespace kestrum
