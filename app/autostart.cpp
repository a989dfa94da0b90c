#include "autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace kestrum {

Autostart::Autostart(QString entryFile, QString program)
    : m_entryFile(std::move(entryFile)), m_program(std::move(program)) {}

bool Autostart::enabled() const {
    return QFileInfo::exists(m_entryFile);
}

QString Autostart::setEnabled(bool on) const {
    if (!on) {
        QFile entry(m_entryFile);
        return !entry.exists() || entry.remove()
                   ? QString()
                   : QStringLiteral("%1 could not be removed: %2")
                         .arg(QDir::toNativeSeparators(m_entryFile), entry.errorString());
    }
    const QString text = QStringLiteral(
                             "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=Kestrum\n"
                             "Comment=Control panel of the serial switch box\n"
                             "Exec=%1\n"
                             "Icon=kestrum\n"
                             "Terminal=false\n")
                             .arg(desktopExecQuoted(m_program));
    QDir().mkpath(QFileInfo(m_entryFile).absolutePath());
    QSaveFile entry(m_entryFile);
    const QByteArray bytes = text.toUtf8();
    if (entry.open(QIODevice::WriteOnly) && entry.write(bytes) == bytes.size() && entry.commit()) {
        return {};
    }
    return QStringLiteral("%1 could not be written: %2")
        .arg(QDir::toNativeSeparators(m_entryFile), entry.errorString());
}

QString defaultAutostartEntry() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/kestrum.desktop");
}

// A path with characters the Exec key reserves goes in double quotes, with the quote, the
// backtick, the dollar and the backslash escaped by a backslash; the whole is then escaped once
// more as any string value of a desktop file is.
QString desktopExecQuoted(const QString& program) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool needsQuotes =
        std::any_of(program.cbegin(), program.cend(), [](QChar c) { return reserved.contains(c); });
    QString text = program;
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (!needsQuotes) {
        return text;
    }
    QString quoted;
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
        }
        quoted += c;
    }
    quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    return quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

}  // namespace kestrum
