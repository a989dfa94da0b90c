#include "mqtt_bridge.h"

#include "core/settings_keys.h"
#include "mail/mail_backend.h"
#include "mqtt/logging.h"
#include "mqtt/published_state.h"

#include <QSysInfo>

namespace kestrum {

namespace {

constexpr RemoteCommandKind kKinds[] = {RemoteCommandKind::Switching,
                                        RemoteCommandKind::ControlMode};

// The topic of each kind of command, after <base>/output/<k>/.
const char* topicOf(RemoteCommandKind kind) {
    return kind == RemoteCommandKind::Switching ? "set" : "control/set";
}

const QByteArray kAllOffPress = QByteArrayLiteral("PRESS");

// The topics of the discovery configs among the messages.
QStringList configTopics(const std::map<QString, QByteArray>& messages) {
    QStringList topics;
    for (const auto& [topic, payload] : messages) {
        if (isDiscoveryConfig(topic)) {
            topics << topic;
        }
    }
    return topics;
}

// Before it kept a list, the program published under the default id it did not store, the host
// name's: those are the configs a first list replaces.
QStringList publishedBeforeAList(const QStringList& current, const QString& node) {
    const QString formerNode =
        discoveryNode(QStringLiteral("kestrum-") + QSysInfo::machineHostName());
    QStringList topics;
    for (QString topic : current) {
        topics << topic.replace(QLatin1Char('/') + node + QLatin1Char('/'),
                                QLatin1Char('/') + formerNode + QLatin1Char('/'));
    }
    return topics;
}

}  // namespace

MqttBridge::MqttBridge(State& state, Panel& panel, Services services)
    : m_state(state),
      m_panel(panel),
      m_services(std::move(services)),
      m_switching(state, panel, m_services.store, m_services.outputs),
      m_subscription(panel.subscribe([this] { publishChanges(); })) {}

MqttBridge::~MqttBridge() {
    m_panel.unsubscribe(m_subscription);
    stop();
}

void MqttBridge::restart() {
    stop();
    MqttSettings settings;
    try {
        settings = readMqttSettings(m_services.store, m_services.passwords);
    } catch (const MailError& e) {
        // A stop that ended the keyring's wait is no failure worth telling.
        if (m_services.running()) {
            qCWarning(lcMqtt).noquote() << "The MQTT bridge is off:" << e.description();
        }
        return;
    }
    // The keyring's wait runs other events, a stop among them.
    if (!settings.enabled() || !m_services.running()) {
        return;
    }
    const QString problem = mqttSettingsProblem(settings);
    if (!problem.isEmpty()) {
        qCWarning(lcMqtt).noquote() << "The MQTT bridge is off:" << problem;
        return;
    }
    m_base = settings.topic;
    m_node = discoveryNode(settings.clientId);
    MqttConnection connection = MqttConnection::to(settings);
    connection.willTopic = availabilityTopic();
    connection.willPayload = QByteArrayLiteral("offline");
    for (const RemoteCommandKind kind : kKinds) {
        connection.subscriptions << m_base + QStringLiteral("/output/+/") +
                                        QLatin1String(topicOf(kind));
    }
    connection.subscriptions << m_base + QStringLiteral("/output/+/pulse/set") << allOffTopic();
    m_started = true;
    qCInfo(lcMqtt).noquote() << "Connecting to the MQTT broker" << settings.broker;
    m_services.client.start(
        connection, {[this] { connected(); }, [this](const QString& reason) { lost(reason); },
                     [this](const QString& topic, const QByteArray& payload, bool retained) {
                         received(topic, payload, retained);
                     }});
}

void MqttBridge::stop() {
    if (!m_started) {
        return;
    }
    if (m_connected) {
        m_services.client.publish(availabilityTopic(), QByteArrayLiteral("offline"));
    }
    m_services.client.stop();
    m_started = false;
    m_connected = false;
    m_lastReason.clear();
    m_published.clear();
    m_names.clear();
}

// The broker may have lost what it kept, or kept what an older program published: all of it
// is sent again, and "online" last, once a hub can trust the rest.
void MqttBridge::connected() {
    qCInfo(lcMqtt) << "Connected to the MQTT broker";
    m_connected = true;
    m_lastReason.clear();
    m_published.clear();
    m_names.clear();
    publishChanges();
    clearFormerDiscovery();
    m_services.client.publish(availabilityTopic(), QByteArrayLiteral("online"));
}

// A changed client id leaves the configs of the old one on the broker, and with them entities
// in the hub that nothing serves: each is emptied, which removes it.
void MqttBridge::clearFormerDiscovery() {
    const QStringList current = configTopics(nameMessages(m_names, m_base, m_node));
    const QString kept =
        m_services.store.read(mqtt::section, mqtt::discoveryConfigs, QStringLiteral("<none>"));
    const QStringList former = kept == QLatin1String("<none>")
                                   ? publishedBeforeAList(current, m_node)
                                   : kept.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& topic : former) {
        if (!current.contains(topic)) {
            m_services.client.publish(topic, QByteArray());
        }
    }
    if (former != current) {
        skipOnStoreError([&] {
            m_services.store.write(mqtt::section, mqtt::discoveryConfigs,
                                   current.join(QLatin1Char(' ')));
            m_services.store.sync();
        });
    }
}

// Said once per reason, however often the client tries again meanwhile.
void MqttBridge::lost(const QString& reason) {
    if (m_connected || reason != m_lastReason) {
        qCWarning(lcMqtt).noquote()
            << "No connection to the MQTT broker:" << reason << "- trying again";
    }
    m_connected = false;
    m_lastReason = reason;
}

// A command the broker kept from the past is not one to act on now: it would switch the
// output again at every reconnect.
void MqttBridge::received(const QString& topic, const QByteArray& payload, bool retained) {
    if (retained || !m_services.running()) {
        return;
    }
    if (topic == allOffTopic() && payload.trimmed() == kAllOffPress) {
        m_switching.allOff(m_services.log);
        return;
    }
    const QString prefix = m_base + QStringLiteral("/output/");
    if (!topic.startsWith(prefix)) {
        return;
    }
    const QString rest = topic.mid(prefix.size());
    const int slash = rest.indexOf(QLatin1Char('/'));
    bool number = false;
    const int n = rest.left(slash).toInt(&number);
    if (slash != 1 || !number || n < 1 || n > 8) {
        return;
    }
    execute(n, rest.mid(slash + 1), payload.trimmed());
}

void MqttBridge::execute(int n, const QString& command, const QByteArray& payload) {
    if (command == QLatin1String("pulse/set")) {
        pulse(n, payload);
        return;
    }
    for (const RemoteCommandKind kind : kKinds) {
        const RemoteCommandEntry* known = remoteCommandOfWord(kind, payload);
        if (command == QLatin1String(topicOf(kind)) && known != nullptr) {
            m_switching.run(n, known->command, m_services.log);
            return;
        }
    }
}

// The minutes in plain digits, 1 to 1440 as by mail; anything else is ignored like any payload
// the bridge does not know.
void MqttBridge::pulse(int n, const QByteArray& payload) {
    bool number = false;
    const int minutes = payload.toInt(&number);
    if (!number || payload != QByteArray::number(minutes)) {
        return;
    }
    m_switching.runPulse(n, minutes, m_services.log);
}

QString MqttBridge::availabilityTopic() const {
    return m_base + QStringLiteral("/availability");
}

QString MqttBridge::allOffTopic() const {
    return m_base + QStringLiteral("/all-off/set");
}

// Scans change the panel ten times a second; the names, and with them the discovery
// messages, seldom.
void MqttBridge::publishChanges() {
    if (!m_connected) {
        return;
    }
    const QStringList current = names(m_state);
    if (current != m_names) {
        m_names = current;
        publishChanged(nameMessages(current, m_base, m_node));
    }
    publishChanged(stateMessages(m_state, m_base));
}

void MqttBridge::publishChanged(const std::map<QString, QByteArray>& messages) {
    for (const auto& [topic, payload] : messages) {
        const auto sent = m_published.find(topic);
        if (sent == m_published.end() || sent->second != payload) {
            m_services.client.publish(topic, payload);
            m_published[topic] = payload;
        }
    }
}

}  // namespace kestrum
