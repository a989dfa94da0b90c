#pragma once

#include "mqtt/mqtt_settings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace kestrum {

// How to reach the broker, what it publishes when the program vanishes, what to listen to.
struct MqttConnection {
    BrokerAddress broker;
    QString user;
    QString password;
    QString clientId;
    QString caFile;     // empty: the system's authorities
    QString willTopic;  // retained, like everything the bridge publishes
    QByteArray willPayload;
    QStringList subscriptions;  // taken again on every connect

    // The broker, user and client of settings that mqttSettingsProblem() accepts.
    static MqttConnection to(const MqttSettings& settings);
};

// A connection to an MQTT broker that keeps itself up: it connects, and after a failure or a
// lost connection tries again with growing pauses, until stopped. Its events arrive on the
// thread that started it, one at a time, like timer ticks.
class MqttClient {
public:
    struct Events {
        std::function<void()> connected;
        std::function<void(const QString& reason)> lost;  // also a connect attempt that failed
        std::function<void(const QString& topic, const QByteArray& payload, bool retained)> message;
    };

    virtual ~MqttClient() = default;

    virtual void start(const MqttConnection& connection, Events events) = 0;
    // Published retained; while no connection is up the message is dropped.
    virtual void publish(const QString& topic, const QByteArray& payload) = 0;
    // Sends what was published before and disconnects; returns within a few seconds even
    // when the broker does not answer.
    virtual void stop() = 0;
};

}  // namespace kestrum
