#include "logitekst_window.h"

#include "log_viewer.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kestrum {

LogiTekstWindow::LogiTekstWindow(const LogViewer& viewer, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("LogiTekst"));
    setWindowTitle(QStringLiteral("Log of Kaugvool events"));
    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("LogText"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text);
    resize(720, 480);
    // Line ends arrive as CR LF; the box wants LF alone.
    text->setPlainText(viewer.ViewLog().replace(kNewLine, QStringLiteral("\n")));
}

}  // namespace kestrum
