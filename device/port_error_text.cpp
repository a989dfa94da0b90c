#include "port_error_text.h"

namespace kestrum {

QString portOpenErrorText(const QString& device, const PortOpenError& error) {
    QString reason = error.reason.trimmed();
    // Some drivers end their reason with a full stop of their own.
    if (reason.endsWith(QLatin1Char('.'))) {
        reason.chop(1);
    }
    QString text = QStringLiteral("Cannot open %1: %2.").arg(device, reason);
    if (!error.accessGroup.isEmpty()) {
        // A new group membership reaches only the processes of a new log-in.
        const QString advice = QStringLiteral(
            " Add your user to the group %1 that owns the device (sudo usermod -aG %1 $USER), then "
            "log out and in again.");
        text += advice.arg(error.accessGroup);
    }
    return text;
}

}  // namespace kestrum
