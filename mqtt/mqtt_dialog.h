#pragma once

#include "mqtt/mqtt_bridge.h"
#include "mqtt/mqtt_settings.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

namespace kestrum {

// The MQTT bridge's form: broker, user, password, client id, base topic and CA file, a connection
// test, OK/Cancel. OK is refused, with the reason shown, while the settings cannot be used.
class MqttDialog : public QDialog {
    Q_OBJECT
public:
    // tester tries the settings and returns its report for the user to read.
    using Tester = std::function<QString(const MqttSettings&)>;

    MqttDialog(const MqttSettings& current, bool passwordInSettingsFile, Tester tester,
               QWidget* parent = nullptr);

    MqttSettings settings() const;

private:
    void accept() override;

    Tester m_tester;
    QLineEdit* m_broker;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QLineEdit* m_clientId;
    QLineEdit* m_topic;
    QLineEdit* m_caFile;
    QLabel* m_report = nullptr;
};

// Lets the user edit the bridge's settings with an MqttDialog, keeps them and restarts the
// bridge with what was kept. Returns, for the user, what was kept and what was not when any
// of it could not be; empty when all was.
QString editMqttSettings(SettingsStore& store, PasswordStore& passwords, MqttBridge& bridge,
                         QWidget* parent);

}  // namespace kestrum
