#pragma once

#include "core/ui.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace kestrum::testing {

// Records what the engine asks of the windows and answers message boxes as scripted.
class FakeUi : public Ui {
public:
    struct Message {
        QString text;
        QString title;
        MessageIcon icon;
        MessageButtons buttons;
    };

    MessageAnswer messageBox(const QString& text, const QString& title, MessageIcon icon,
                             MessageButtons buttons) override {
        messages.push_back(Message{text, title, icon, buttons});
        if (whileMessageShown) {
            whileMessageShown();
        }
        return buttons == MessageButtons::YesNo ? nextYesNoAnswer : MessageAnswer::Ok;
    }
    void openSettingsDialog() override {
        calls << QStringLiteral("settings");
        if (whileSettingsOpen) {
            whileSettingsOpen();
        }
    }
    void openAboutWindow() override { calls << QStringLiteral("about"); }
    void beep() override { calls << QStringLiteral("beep"); }
    void showMainWindow() override { calls << QStringLiteral("show"); }
    void setBusy(bool busy) override {
        calls << (busy ? QStringLiteral("busy") : QStringLiteral("idle"));
    }
    void addTrayIcon(const TrayIconRecord& icon) override {
        calls << QStringLiteral("tray+ ") + icon.tip;
    }
    void removeTrayIcon(const TrayIconRecord& icon) override {
        calls << QStringLiteral("tray- ") + icon.tip;
    }
    void unloadMainWindow() override { calls << QStringLiteral("unload"); }

    std::function<void()> whileSettingsOpen;  // what the user does in the settings window
    std::function<void()> whileMessageShown;  // what happens before the user answers
    std::vector<Message> messages;
    QStringList calls;
    MessageAnswer nextYesNoAnswer = MessageAnswer::No;
};

}  // namespace kestrum::testing
