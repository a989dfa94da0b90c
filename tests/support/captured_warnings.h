#pragma once

#include <QStringList>
#include <QtGlobal>

namespace kestrum::testing {

// Collects the warnings written while it lives, each as "category: text", and writes nothing.
class CapturedWarnings {
public:
    CapturedWarnings() : m_previous(qInstallMessageHandler(collect)) { lines().clear(); }
    ~CapturedWarnings() { qInstallMessageHandler(m_previous); }
    CapturedWarnings(const CapturedWarnings&) = delete;
    CapturedWarnings& operator=(const CapturedWarnings&) = delete;

    const QStringList& all() const { return lines(); }
    // The warnings that contain the text.
    QStringList containing(const QString& text) const { return lines().filter(text); }

private:
    static QStringList& lines() {
        static QStringList collected;
        return collected;
    }
    static void collect(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg) {
            lines().append(QString::fromUtf8(context.category) + QStringLiteral(": ") + text);
        }
    }

    QtMessageHandler m_previous;
};

}  // namespace kestrum::testing
