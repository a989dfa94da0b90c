#include "mqtt_dialog.h"

#include "core/tested_form.h"
#include "mail/mail_backend.h"
#include "mqtt/mosquitto_client.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace kestrum {

namespace {

QLineEdit* field(const QString& text, const char* name) {
    auto* edit = new QLineEdit(text);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

}  // namespace

MqttDialog::MqttDialog(const MqttSettings& current, bool passwordInSettingsFile, Tester tester,
                       QWidget* parent)
    : QDialog(parent),
      m_tester(std::move(tester)),
      m_broker(field(current.broker, "broker")),
      m_user(field(current.user, "user")),
      m_password(field(current.password, "password")),
      m_clientId(field(current.clientId, "clientId")),
      m_topic(field(current.topic, "topic")),
      m_caFile(field(current.caFile, "caFile")) {
    setWindowTitle(tr("MQTT"));
    m_broker->setPlaceholderText(QStringLiteral("mqtts://broker.example.org:8883"));
    m_password->setEchoMode(QLineEdit::Password);
    m_caFile->setPlaceholderText(tr("empty: the system's authorities"));
    m_caFile->setToolTip(
        tr("For a broker whose certificate a certificate authority of your own "
           "signed: that authority's certificate, a PEM file"));

    auto* form = new QFormLayout;
    form->addRow(tr("Broker (empty: off):"), m_broker);
    form->addRow(tr("User:"), m_user);
    form->addRow(tr("Password:"), m_password);
    form->addRow(tr("Client id:"), m_clientId);
    form->addRow(tr("Base topic:"), m_topic);
    form->addRow(tr("CA file (mqtts):"), m_caFile);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    m_report = addTestedFormFoot(*this, *layout, passwordInSettingsFile,
                                 [this] { return m_tester(settings()); });
}

MqttSettings MqttDialog::settings() const {
    return {m_broker->text().trimmed(), m_user->text(),
            m_password->text(),         m_clientId->text().trimmed(),
            m_topic->text().trimmed(),  m_caFile->text().trimmed()};
}

void MqttDialog::accept() {
    const QString problem = mqttSettingsProblem(settings());
    if (!problem.isEmpty()) {
        m_report->setText(problem);
        return;
    }
    QDialog::accept();
}

QString editMqttSettings(SettingsStore& store, PasswordStore& passwords, MqttBridge& bridge,
                         QWidget* parent) {
    try {
        MqttDialog dialog(
            readMqttSettings(store, passwords), passwords.keepsInSettingsFile(),
            [](const MqttSettings& settings) { return testMqttBroker(settings); }, parent);
        if (dialog.exec() != QDialog::Accepted) {
            return QString();
        }
        writeMqttSettings(store, passwords, dialog.settings());
    } catch (const StoreError& e) {
        return QStringLiteral("The MQTT settings were not saved: %1").arg(e.what());
    } catch (const MailError& e) {
        // The rest was kept: the bridge goes on with it rather than with what the store no
        // longer holds.
        bridge.restart();
        return QStringLiteral(
                   "The broker, user, client id, base topic and CA file were saved and the "
                   "bridge uses them; %1. The password kept before is used.")
            .arg(e.description());
    }
    bridge.restart();
    return QString();
}

}  // namespace kestrum
