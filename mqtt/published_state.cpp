#include "published_state.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace kestrum {

namespace {

const QString kDiscoveryPrefix = QStringLiteral("homeassistant");

QString configTopic(const QString& kind, const QString& node, const QString& object) {
    return QStringLiteral("%1/%2/%3/%4/config").arg(kDiscoveryPrefix, kind, node, object);
}

QByteArray onOff(bool on) {
    return on ? QByteArrayLiteral("ON") : QByteArrayLiteral("OFF");
}

QString nameOr(const Value& name, const QString& fallback) {
    const QString text = name.text().trimmed();
    return text.isEmpty() ? fallback : text;
}

class Discovery {
public:
    Discovery(const QString& base, const QString& node) : m_base(base), m_node(node) {}

    // One entity; its id and the topic of its config are named by kind and object. It is
    // available only while the program is connected and its board can be read.
    void add(std::map<QString, QByteArray>& messages, const QString& kind, const QString& object,
             QJsonObject entity) const {
        entity[QStringLiteral("unique_id")] = m_node + QLatin1Char('_') + object;
        entity[QStringLiteral("availability")] = QJsonArray{
            QJsonObject{{QStringLiteral("topic"), m_base + QStringLiteral("/availability")}},
            QJsonObject{{QStringLiteral("topic"), m_base + QStringLiteral("/board")}}};
        entity[QStringLiteral("availability_mode")] = QStringLiteral("all");
        entity[QStringLiteral("device")] = QJsonObject{
            {QStringLiteral("identifiers"), QJsonArray{m_node}},
            {QStringLiteral("name"), QStringLiteral("Kestrum")},
            {QStringLiteral("sw_version"), QStringLiteral(KESTRUM_VERSION)},
        };
        messages[configTopic(kind, m_node, object)] =
            QJsonDocument(entity).toJson(QJsonDocument::Compact);
    }
    // A switch or a binary sensor, which say ON and OFF.
    void addOnOff(std::map<QString, QByteArray>& messages, const QString& kind,
                  const QString& object, QJsonObject entity) const {
        entity[QStringLiteral("payload_on")] = QStringLiteral("ON");
        entity[QStringLiteral("payload_off")] = QStringLiteral("OFF");
        add(messages, kind, object, std::move(entity));
    }

private:
    QString m_base;
    QString m_node;
};

}  // namespace

QStringList names(const State& state) {
    QStringList names;
    for (int k = 1; k <= 8; ++k) {
        names << nameOr(state.KlahviNimi[k], QStringLiteral("Output %1").arg(k))
              << nameOr(state.SisendiNimi[k], QStringLiteral("Input %1").arg(k));
    }
    return names;
}

std::map<QString, QByteArray> stateMessages(const State& state, const QString& base) {
    std::map<QString, QByteArray> messages;
    for (int k = 1; k <= 8; ++k) {
        const QString output = QStringLiteral("%1/output/%2").arg(base).arg(k);
        // What the board did, never what was wanted of it.
        messages[output + QStringLiteral("/state")] = onOff(state.ReadBack[k] == 1);
        messages[output + QStringLiteral("/control")] =
            state.Juhtimine[k] == 1 ? QByteArrayLiteral("AUTO") : QByteArrayLiteral("MANUAL");
        messages[output + QStringLiteral("/failed")] = onOff(state.OutputDiffers[k] == 1);
        messages[QStringLiteral("%1/input/%2/state").arg(base).arg(k)] =
            onOff(state.ReadBack[k + 8] == 1);
    }
    messages[base + QStringLiteral("/board")] =
        state.BoardRead == 1 ? QByteArrayLiteral("online") : QByteArrayLiteral("offline");
    return messages;
}

std::map<QString, QByteArray> nameMessages(const QStringList& names, const QString& base,
                                           const QString& node) {
    std::map<QString, QByteArray> messages;
    const Discovery discovery(base, node);
    for (int k = 1; k <= 8; ++k) {
        const QString output = QStringLiteral("%1/output/%2").arg(base).arg(k);
        const QString& name = names[2 * (k - 1)];
        messages[output + QStringLiteral("/name")] = name.toUtf8();
        discovery.addOnOff(messages, QStringLiteral("switch"), QStringLiteral("output_%1").arg(k),
                           {{QStringLiteral("name"), name},
                            {QStringLiteral("state_topic"), output + QStringLiteral("/state")},
                            {QStringLiteral("command_topic"), output + QStringLiteral("/set")}});
        discovery.add(messages, QStringLiteral("select"),
                      QStringLiteral("output_%1_control").arg(k),
                      {{QStringLiteral("name"), name + QStringLiteral(" control")},
                       {QStringLiteral("state_topic"), output + QStringLiteral("/control")},
                       {QStringLiteral("command_topic"), output + QStringLiteral("/control/set")},
                       {QStringLiteral("options"),
                        QJsonArray{QStringLiteral("AUTO"), QStringLiteral("MANUAL")}}});
        discovery.addOnOff(messages, QStringLiteral("binary_sensor"),
                           QStringLiteral("output_%1_failed").arg(k),
                           {{QStringLiteral("name"), name + QStringLiteral(" failed")},
                            {QStringLiteral("device_class"), QStringLiteral("problem")},
                            {QStringLiteral("state_topic"), output + QStringLiteral("/failed")}});

        const QString input = QStringLiteral("%1/input/%2").arg(base).arg(k);
        const QString& inputName = names[2 * (k - 1) + 1];
        messages[input + QStringLiteral("/name")] = inputName.toUtf8();
        discovery.addOnOff(messages, QStringLiteral("binary_sensor"),
                           QStringLiteral("input_%1").arg(k),
                           {{QStringLiteral("name"), inputName},
                            {QStringLiteral("state_topic"), input + QStringLiteral("/state")}});
    }
    discovery.add(messages, QStringLiteral("button"), QStringLiteral("all_off"),
                  {{QStringLiteral("name"), QStringLiteral("All off")},
                   {QStringLiteral("command_topic"), base + QStringLiteral("/all-off/set")},
                   {QStringLiteral("payload_press"), QStringLiteral("PRESS")}});
    return messages;
}

bool isDiscoveryConfig(const QString& topic) {
    return topic.startsWith(kDiscoveryPrefix + QLatin1Char('/'));
}

QString discoveryNode(const QString& clientId) {
    static const QRegularExpression other(QStringLiteral("[^A-Za-z0-9_-]"));
    return QString(clientId).replace(other, QStringLiteral("_"));
}

}  // namespace kestrum
