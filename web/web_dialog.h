#pragma once

#include "web/web_server.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace kestrum {

// The web panel's form: on or off, where it listens, a new password (empty keeps the old
// one), and "Open in browser". OK keeps the settings and restarts the panel; when it then
// cannot listen, the form stays open and says why.
class WebDialog : public QDialog {
    Q_OBJECT
public:
    WebDialog(SettingsStore& store, WebServer& server, QWidget* parent = nullptr);

private:
    void accept() override;
    // What the panel does now: where it listens and the certificate's fingerprint, or why not.
    void showStatus();
    void openInBrowser();

    SettingsStore& m_store;
    WebServer& m_server;
    QCheckBox* m_enabled;
    QLineEdit* m_listen;
    QLineEdit* m_password;
    QLabel* m_status;
};

}  // namespace kestrum
