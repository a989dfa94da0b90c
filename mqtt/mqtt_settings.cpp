#include "mqtt_settings.h"

#include "core/settings_keys.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QUrl>

namespace kestrum {

namespace {

const QString kDefaultTopic = QStringLiteral("kestrum");

QString orDefault(const QString& text, const QString& fallback) {
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? fallback : trimmed;
}

}  // namespace

std::optional<BrokerAddress> parseBroker(const QString& url, QString* problem) {
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() ||
        (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts"))) {
        *problem = QStringLiteral(
                       "the broker must be written mqtt://host:port or "
                       "mqtts://host:port, not \"%1\"")
                       .arg(url);
        return std::nullopt;
    }
    if (parsed.host().isEmpty()) {
        *problem = QStringLiteral("the broker \"%1\" names no host").arg(url);
        return std::nullopt;
    }
    const bool tls = scheme == QLatin1String("mqtts");
    return BrokerAddress{tls, parsed.host(), parsed.port(tls ? 8883 : 1883)};
}

// A wildcard in the base would subscribe the bridge to topics that are not its own.
QString mqttSettingsProblem(const MqttSettings& settings) {
    QString problem;
    if (settings.enabled() && !parseBroker(settings.broker, &problem)) {
        return problem;
    }
    if (!settings.caFile.isEmpty() && !QFileInfo(settings.caFile).isReadable()) {
        return QStringLiteral("the CA file \"%1\" cannot be read").arg(settings.caFile);
    }
    if (settings.topic.contains(QLatin1Char('+')) || settings.topic.contains(QLatin1Char('#')) ||
        settings.topic.startsWith(QLatin1Char('/')) || settings.topic.endsWith(QLatin1Char('/'))) {
        return QStringLiteral(
                   "the topic \"%1\" must be a plain topic such as kestrum or "
                   "home/kestrum, without + or # and without a / at either end")
            .arg(settings.topic);
    }
    return QString();
}

// Two boxes whose computers share a host name (two of the same small board, as delivered)
// would otherwise throw each other off the broker: the random part tells them apart.
QString defaultMqttClientId() {
    return QStringLiteral("kestrum-%1-%2")
        .arg(QSysInfo::machineHostName())
        .arg(QRandomGenerator::global()->bounded(0x10000), 4, 16, QLatin1Char('0'));
}

MqttSettings readMqttSettings(SettingsStore& store, PasswordStore& passwords) {
    MqttSettings settings;
    settings.broker = store.read(mqtt::section, mqtt::broker).trimmed();
    settings.user = store.read(mqtt::section, mqtt::user);
    settings.clientId = store.read(mqtt::section, mqtt::clientId).trimmed();
    if (settings.clientId.isEmpty()) {
        // Made once and kept, so the box stays the same device to the broker and the hub.
        settings.clientId = defaultMqttClientId();
        skipOnStoreError([&] {
            store.write(mqtt::section, mqtt::clientId, settings.clientId);
            store.sync();
        });
    }
    settings.topic = orDefault(store.read(mqtt::section, mqtt::topic), kDefaultTopic);
    settings.caFile = store.read(mqtt::section, mqtt::caFile).trimmed();
    // MQTT has no password without a user name.
    if (settings.enabled() && !settings.user.isEmpty()) {
        settings.password = passwords.read(settings.user);
    }
    return settings;
}

void writeMqttSettings(SettingsStore& store, PasswordStore& passwords,
                       const MqttSettings& settings) {
    store.write(mqtt::section, mqtt::broker, settings.broker.trimmed());
    store.write(mqtt::section, mqtt::user, settings.user);
    store.write(mqtt::section, mqtt::clientId, settings.clientId.trimmed());
    store.write(mqtt::section, mqtt::topic, settings.topic.trimmed());
    store.write(mqtt::section, mqtt::caFile, settings.caFile.trimmed());
    store.sync();
    if (!settings.user.isEmpty()) {
        passwords.write(settings.user, settings.password);
    }
}

}  // namespace kestrum
