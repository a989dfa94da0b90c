#include "mqtt_client.h"

namespace kestrum {

MqttConnection MqttConnection::to(const MqttSettings& settings) {
    QString problem;
    MqttConnection connection;
    connection.broker = parseBroker(settings.broker, &problem).value_or(BrokerAddress{});
    connection.user = settings.user;
    connection.password = settings.password;
    connection.clientId = settings.clientId;
    connection.caFile = settings.caFile;
    return connection;
}

}  // namespace kestrum
