#pragma once

#include <QString>

namespace kestrum {

// Starting with the desktop session, by an XDG autostart entry. Whether the program starts is
// what the entry says, so a user who removes it by hand sees that in the settings window.
class Autostart {
public:
    // entryFile: the autostart entry; program: the path of the program it starts.
    Autostart(QString entryFile, QString program);

    bool enabled() const;
    // Writes or removes the entry; the reason, for the user, when that failed, else empty.
    QString setEnabled(bool on) const;

private:
    QString m_entryFile;
    QString m_program;
};

// kestrum.desktop in the autostart folder of the user's configuration folder.
QString defaultAutostartEntry();

// The program as the Exec key of a desktop entry quotes it.
QString desktopExecQuoted(const QString& program);

}  // namespace kestrum
