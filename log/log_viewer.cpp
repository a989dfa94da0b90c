#include "log_viewer.h"

#include "log_tail.h"

#include <QDir>
#include <QFile>

namespace kestrum {

LogViewer::LogViewer(Ui& ui, QString filePath) : m_ui(ui), m_filePath(std::move(filePath)) {}

QString LogViewer::ViewLog() const {
    const QString text = readLogTail(m_filePath);
    if (text.isEmpty()) {
        m_ui.messageBox(
            QDir::toNativeSeparators(m_filePath) + QStringLiteral("\r\nLogifaili ei ole veel."),
            QStringLiteral("Kestrum"), MessageIcon::None, MessageButtons::Ok);
    }
    return text;
}

void LogViewer::ComKill_Click() {
    if (m_ui.messageBox(QStringLiteral("Kas tahad tõesti logi kustutada?"),
                        QStringLiteral("Logi kustutada???"), MessageIcon::Critical,
                        MessageButtons::YesNo) == MessageAnswer::Yes) {
        QFile::remove(m_filePath);
    }
}

}  // namespace kestrum
