#pragma once

#include "control/output_control.h"
#include "control/remote_switching.h"
#include "core/panel.h"
#include "core/settings_store.h"
#include "core/state.h"
#include "log/event_log.h"
#include "mail/password_store.h"
#include "mqtt/mqtt_client.h"

#include <functional>
#include <map>

namespace kestrum {

// The program on an MQTT broker: keeps the outputs' and inputs' state there as the board read
// it, retained and sent only when it changes, and takes the commands to switch an output, hand
// it to the schedule or switch everything off, with the effects and the log entries of the same
// commands by mail and of the control panel's all-off.
class MqttBridge {
public:
    // What the bridge uses of the program besides its state and panel.
    struct Services {
        SettingsStore& store;
        PasswordStore& passwords;
        OutputControl& outputs;
        EventLog& log;
        MqttClient& client;
        // False once the program is shutting down: commands are then ignored.
        std::function<bool()> running;
    };

    MqttBridge(State& state, Panel& panel, Services services);
    MqttBridge(const MqttBridge&) = delete;
    MqttBridge& operator=(const MqttBridge&) = delete;
    ~MqttBridge();

    // Takes the settings as they are stored now: connects when a broker is set, after leaving
    // the one connected before.
    void restart();
    // Says "offline" and leaves the broker.
    void stop();

private:
    void connected();
    void lost(const QString& reason);
    void received(const QString& topic, const QByteArray& payload, bool retained);
    void execute(int n, const QString& command, const QByteArray& payload);
    void pulse(int n, const QByteArray& payload);
    void publishChanges();
    void publishChanged(const std::map<QString, QByteArray>& messages);
    void clearFormerDiscovery();
    QString availabilityTopic() const;
    QString allOffTopic() const;

    State& m_state;
    Panel& m_panel;
    Services m_services;
    RemoteSwitching m_switching;
    int m_subscription;
    QString m_base;
    QString m_node;
    bool m_started = false;
    bool m_connected = false;
    QString m_lastReason;
    std::map<QString, QByteArray> m_published;
    QStringList m_names;  // as last published
};

}  // namespace kestrum
