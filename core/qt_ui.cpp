#include "qt_ui.h"

#include <QApplication>
#include <QMessageBox>

namespace kestrum {

QtUi::~QtUi() = default;

MessageAnswer QtUi::messageBox(const QString& text, const QString& title, MessageIcon icon,
                               MessageButtons buttons) {
    const QMessageBox::Icon boxIcon = [icon] {
        switch (icon) {
            case MessageIcon::Information:
                return QMessageBox::Information;
            case MessageIcon::Warning:
                return QMessageBox::Warning;
            case MessageIcon::Critical:
                return QMessageBox::Critical;
            case MessageIcon::None:
                return QMessageBox::NoIcon;
            case MessageIcon::Question:
                break;
        }
        return QMessageBox::Question;
    }();
    QMessageBox box(
        boxIcon, title, text,
        buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
        m_window);
    const int answer = box.exec();
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void QtUi::openSettingsDialog() {
    if (m_openSettings) {
        m_openSettings();
    }
}

void QtUi::openAboutWindow() {
    if (m_openAbout) {
        m_openAbout();
    }
}

void QtUi::beep() {
    QApplication::beep();
}

void QtUi::showMainWindow() {
    m_window->show();
}

void QtUi::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

// Without a system tray a hidden window could never come back, so it then stays in the task
// bar when minimised.
void QtUi::addTrayIcon(const TrayIconRecord& icon) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    m_trayMenu = std::make_unique<QMenu>();
    m_trayMenu->addAction(QStringLiteral("&Restore"), m_window, &JuhtpultWindow::restoreFromTray);
    m_trayMenu->addAction(QStringLiteral("&Exit"), m_window, &QWidget::close);
    m_tray = std::make_unique<QSystemTrayIcon>(m_window->windowIcon());
    m_tray->setToolTip(icon.tip);
    m_tray->setContextMenu(m_trayMenu.get());
    connect(m_tray.get(), &QSystemTrayIcon::activated, m_window,
            [window = m_window](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
                    window->restoreFromTray();
                }
            });
    m_tray->show();
    m_window->setHidesWhenMinimised(true);
}

void QtUi::removeTrayIcon(const TrayIconRecord&) {
    m_tray.reset();
    m_trayMenu.reset();
    m_window->setHidesWhenMinimised(false);
}

void QtUi::unloadMainWindow() {
    if (m_unloading) {
        return;
    }
    m_unloading = true;
    m_window->close();
    // exit(), not quit(): quit() does nothing before the main loop runs, which would leave a
    // stop during start-up's message box with no window and no end. exit() also ends a modal
    // loop that happens to be open.
    QCoreApplication::exit(0);
}

}  // namespace kestrum
