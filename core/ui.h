#pragma once

#include "state.h"

#include <QString>

namespace kestrum {

enum class MessageIcon { None, Information, Warning, Critical, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// What the engine asks of the windows. Every call returns when the user has answered.
class Ui {
public:
    virtual ~Ui() = default;

    // Shows a modal message box and waits for the answer.
    virtual MessageAnswer messageBox(const QString& text, const QString& title, MessageIcon icon,
                                     MessageButtons buttons) = 0;
    // Opens the general settings window modally and returns when it is closed.
    virtual void openSettingsDialog() = 0;
    virtual void openAboutWindow() = 0;
    virtual void beep() = 0;
    virtual void showMainWindow() = 0;
    // Shows that the program is busy (a mail exchange holds the window) or no longer is.
    virtual void setBusy(bool busy) = 0;
    // Puts the tray icon in place; without a system tray nothing is shown.
    virtual void addTrayIcon(const TrayIconRecord& icon) = 0;
    virtual void removeTrayIcon(const TrayIconRecord& icon) = 0;
    // Closes the main window, which ends the program; asked again while closing it does nothing.
    virtual void unloadMainWindow() = 0;
};

}  // namespace kestrum
