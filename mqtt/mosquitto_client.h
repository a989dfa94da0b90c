#pragma once

#include "mqtt/mqtt_client.h"

namespace kestrum {

// The client over libmosquitto. The library's network loop runs on a thread of its own, so a
// name lookup, a connect or a broker that stops answering never holds the program's thread;
// what the loop hears reaches the starting thread through queued calls.
class MosquittoClient : public MqttClient {
public:
    MosquittoClient() = default;
    MosquittoClient(const MosquittoClient&) = delete;
    MosquittoClient& operator=(const MosquittoClient&) = delete;
    ~MosquittoClient() override;

    void start(const MqttConnection& connection, Events events) override;
    void publish(const QString& topic, const QByteArray& payload) override;
    void stop() override;

private:
    class Session;
    // Owned; left to its own thread when that thread does not end in time at a stop.
    Session* m_session = nullptr;
};

// Connects once with the settings and says, for the user, whether that worked and if not why.
QString testMqttBroker(const MqttSettings& settings, int timeoutMs = 10000);

}  // namespace kestrum
