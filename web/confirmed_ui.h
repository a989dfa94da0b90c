#pragma once

#include "core/ui.h"

namespace kestrum {

// The settings windows' engine, run for a page whose user confirmed on the page already: a
// question is answered Yes, and the last message is kept as the refusal to send back. Nothing
// is shown on the desktop.
class ConfirmedUi : public Ui {
public:
    MessageAnswer messageBox(const QString& text, const QString&, MessageIcon,
                             MessageButtons buttons) override {
        lastMessage = text;
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    void openSettingsDialog() override {}
    void openAboutWindow() override {}
    void beep() override {}
    void showMainWindow() override {}
    void setBusy(bool) override {}
    void addTrayIcon(const TrayIconRecord&) override {}
    void removeTrayIcon(const TrayIconRecord&) override {}
    void unloadMainWindow() override {}

    QString lastMessage;
};

}  // namespace kestrum
