#pragma once

#include "core/settings_store.h"
#include "mail/password_store.h"

#include <QString>

#include <optional>

namespace kestrum {

// Where the broker listens; TLS for mqtts://.
struct BrokerAddress {
    bool tls = false;
    QString host;
    int port = 1883;
};

// The bridge's settings as the user gives them, with the defaults filled in on reading.
struct MqttSettings {
    QString broker;  // mqtt://host:port or mqtts://host:port; empty: the bridge is off
    QString user;
    QString password;
    QString clientId;
    QString topic;  // the base of every topic the bridge publishes and listens to
    // The authorities (PEM) a TLS broker's certificate is checked against; empty: the system's.
    QString caFile;

    bool enabled() const { return !broker.trimmed().isEmpty(); }
};

// The broker's address, or nullopt with the reason in *problem.
std::optional<BrokerAddress> parseBroker(const QString& url, QString* problem);
// What is wrong with the settings, for the user to mend; empty when they can be used.
QString mqttSettingsProblem(const MqttSettings& settings);

// "kestrum-", the host name and four random hex digits; a fresh one at each call.
QString defaultMqttClientId();
// A store without a client id gets a default one, kept from then on.
MqttSettings readMqttSettings(SettingsStore& store, PasswordStore& passwords);
// Throws StoreError or MailError when a setting or the password could not be kept.
void writeMqttSettings(SettingsStore& store, PasswordStore& passwords,
                       const MqttSettings& settings);

}  // namespace kestrum
