#pragma once

#include "core/juhtpult_window.h"
#include "core/ui.h"

#include <QMenu>
#include <QSystemTrayIcon>

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

    MessageAnswer messageBox(const QString& text, const QString& title, MessageIcon icon,
                             MessageButtons buttons) override;
    // The settings window arrives with the dialogs; until then there is nothing to open.
    void openSettingsDialog() override {}
    void showMainWindow() override;
    void setBusy(bool busy) override;
    void addTrayIcon(const TrayIconRecord& icon) override;
    void removeTrayIcon(const TrayIconRecord& icon) override;
    void unloadMainWindow() override;

private:
    JuhtpultWindow* m_window = nullptr;
    std::unique_ptr<QMenu> m_trayMenu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    bool m_unloading = false;
};

}  // namespace kestrum
