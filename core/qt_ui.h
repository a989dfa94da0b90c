#pragma once

#include "core/juhtpult_window.h"
#include "core/ui.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

namespace kestrum {

// The engine's requests answered by real windows: message boxes, the main window and its
// tray icon with the menu "&Restore" / "&Exit".
class QtUi : public QObject, public Ui {
    Q_OBJECT
public:
    QtUi() = default;
    ~QtUi() override;

    void attach(JuhtpultWindow& window) { m_window = &window; }
    // The windows above the engine are built by the application and opened through these.
    void setDialogs(std::function<void()> openSettings, std::function<void()> openAbout) {
        m_openSettings = std::move(openSettings);
        m_openAbout = std::move(openAbout);
    }

    MessageAnswer messageBox(const QString& text, const QString& title, MessageIcon icon,
                             MessageButtons buttons) override;
    void openSettingsDialog() override;
    void openAboutWindow() override;
    void beep() override;
    void showMainWindow() override;
    void setBusy(bool busy) override;
    void addTrayIcon(const TrayIconRecord& icon) override;
    void removeTrayIcon(const TrayIconRecord& icon) override;
    void unloadMainWindow() override;

private:
    JuhtpultWindow* m_window = nullptr;
    std::function<void()> m_openSettings;
    std::function<void()> m_openAbout;
    std::unique_ptr<QMenu> m_trayMenu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    bool m_unloading = false;
};

}  // namespace kestrum
