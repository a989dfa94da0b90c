#include "web_dialog.h"

#include "web/password_hash.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace kestrum {

namespace {

template <typename T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

WebDialog::WebDialog(SettingsStore& store, WebServer& server, QWidget* parent)
    : QDialog(parent),
      m_store(store),
      m_server(server),
      m_enabled(named(new QCheckBox(QStringLiteral("Enabled")), "enabled")),
      m_listen(named(new QLineEdit, "listen")),
      m_password(named(new QLineEdit, "password")),
      m_status(named(new QLabel, "status")) {
    setWindowTitle(QStringLiteral("Web panel"));
    const WebSettings settings = readWebSettings(store);
    m_enabled->setChecked(settings.enabled);
    m_listen->setText(settings.listen);
    m_listen->setToolTip(
        QStringLiteral("127.0.0.1:8080 serves this computer only; an address "
                       "of the local network needs a password and TLS"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(settings.passwordHash.isEmpty() ? QStringLiteral("none set yet")
                                                                   : QStringLiteral("unchanged"));
    m_status->setWordWrap(true);
    // Wide enough for the fingerprint on one line, to read it out against the browser's.
    m_status->setMinimumWidth(
        m_status->fontMetrics().horizontalAdvance(QString(96, QLatin1Char('8'))));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* form = new QFormLayout;
    form->addRow(m_enabled);
    form->addRow(QStringLiteral("Listen (address:port):"), m_listen);
    form->addRow(QStringLiteral("New password:"), m_password);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* open =
        named(buttons->addButton(QStringLiteral("Open in browser"), QDialogButtonBox::ActionRole),
              "openInBrowser");
    connect(open, &QPushButton::clicked, this, &WebDialog::openInBrowser);
    connect(buttons, &QDialogButtonBox::accepted, this, &WebDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &WebDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    showStatus();
}

void WebDialog::showStatus() {
    if (!m_server.problem().isEmpty()) {
        m_status->setText(QStringLiteral("Not listening: ") + m_server.problem());
    } else if (m_server.port() == 0) {
        m_status->setText(QStringLiteral("The web panel is off."));
    } else {
        QString text = QStringLiteral("Listening on %1.").arg(readWebSettings(m_store).listen);
        if (m_server.tls()) {
            text += QStringLiteral(
                        "\nCertificate SHA-256 fingerprint, to compare with the "
                        "browser's:\n") +
                    m_server.fingerprint();
        }
        m_status->setText(text);
    }
}

void WebDialog::accept() {
    WebSettings settings = readWebSettings(m_store);
    settings.enabled = m_enabled->isChecked();
    settings.listen = m_listen->text().trimmed();
    try {
        if (!m_password->text().isEmpty()) {
            const QString hash = hashPassword(m_password->text());
            if (hash.isEmpty()) {
                m_status->setText(QStringLiteral("The password could not be hashed."));
                return;
            }
            writePasswordHash(m_store, hash);
            m_password->clear();
        }
        writeWebSettings(m_store, settings);
    } catch (const StoreError& error) {
        m_status->setText(
            QStringLiteral("The settings were not saved: %1").arg(QString::fromUtf8(error.what())));
        return;
    }
    m_server.restart();
    showStatus();
    if (m_server.problem().isEmpty()) {
        QDialog::accept();
    }
}

// A panel listening on every address is reached here on this computer's own.
void WebDialog::openInBrowser() {
    QString problem;
    const std::optional<ListenAddress> address =
        parseListen(readWebSettings(m_store).listen, &problem);
    if (!address || m_server.port() == 0) {
        m_status->setText(
            QStringLiteral("The web panel does not listen; enable it and press OK "
                           "first."));
        return;
    }
    const QString host = address->host.isLoopback() || address->host == QHostAddress::AnyIPv4 ||
                                 address->host == QHostAddress::Any
                             ? QStringLiteral("127.0.0.1")
                             : address->host.toString();
    QDesktopServices::openUrl(
        QUrl(QStringLiteral("%1://%2:%3/")
                 .arg(m_server.tls() ? QStringLiteral("https") : QStringLiteral("http"), host)
                 .arg(m_server.port())));
}

}  // namespace kestrum
