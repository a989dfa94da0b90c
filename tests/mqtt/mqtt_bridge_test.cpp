#include "support/mosquitto_broker.h"

#include "core/settings_keys.h"
#include "mail/settings_password_store.h"
#include "mqtt/mosquitto_client.h"
#include "mqtt/mqtt_bridge.h"
#include "mqtt/mqtt_dialog.h"
#include "support/captured_warnings.h"
#include "support/local_servers.h"
#include "support/log_lines.h"
#include "support/printers.h"
#include "support/program_on_doubles.h"
#include "support/scans.h"
#include "support/widget_lookup.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

namespace kestrum::testing {
namespace {

class MqttBridgeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { broker = std::make_unique<MosquittoBroker>(); }
    static void TearDownTestSuite() { broker.reset(); }

    void SetUp() override {
        setup.memory.write(mqtt::section, mqtt::broker, broker->url());
        setup.memory.write(mqtt::section, mqtt::clientId, QStringLiteral("kestrum-test"));
        setup.memory.write(QStringLiteral("Seaded"), QStringLiteral("Logi"), QStringLiteral("1"));
        setup.start().state().KlahviNimi[3] = QStringLiteral("Pump");
        bridge = std::make_unique<MqttBridge>(
            setup.program->state(), setup.program->panel(),
            MqttBridge::Services{setup.memory, passwords, setup.program->outputs(),
                                 setup.program->log(), client, [] { return true; }});
        connect();
    }

    void connect() {
        bridge->restart();
        ASSERT_TRUE(eventually([&] { return state().value("kestrum/availability") == "online"; }));
    }

    QMap<QString, QByteArray> state() const {
        return broker->retained({QStringLiteral("kestrum/#"), QStringLiteral("homeassistant/#")});
    }
    // Sends a command as a hub would, then one that surely acts and is logged, and waits for
    // the latter: the first has been handled by then.
    void command(const QString& topic, const QByteArray& payload) {
        const auto marks = [&] { return log().filter(QStringLiteral("KOORMUS_8_KASI")).size(); };
        const qsizetype before = marks();
        broker->publish(topic, payload);
        broker->publish(QStringLiteral("kestrum/output/8/control/set"), "MANUAL");
        ASSERT_TRUE(eventually([&] { return marks() > before; }));
    }
    QStringList log() const { return logLines(setup.logBytes()); }
    static QStringList discoveryConfigs(const QMap<QString, QByteArray>& retained) {
        return retained.keys().filter(QRegularExpression(QStringLiteral("^homeassistant/")));
    }

    static inline std::unique_ptr<MosquittoBroker> broker;
    ProgramOnDoubles setup;
    SettingsPasswordStore passwords{setup.memory, QString(), mqtt::section, mqtt::password};
    MosquittoClient client;
    std::unique_ptr<MqttBridge> bridge;
};

TEST_F(MqttBridgeTest, KeepsTheStateAndTheDiscoveryOfItsClientIdRetainedAndSaysOfflineWhenStopped) {
    QMap<QString, QByteArray> retained = state();
    EXPECT_EQ(retained.value("kestrum/output/3/state"), "OFF");
    EXPECT_EQ(retained.value("kestrum/output/3/control"), "MANUAL");
    EXPECT_EQ(retained.value("kestrum/output/3/failed"), "OFF");
    EXPECT_EQ(retained.value("kestrum/output/3/name"), "Pump");
    EXPECT_EQ(retained.value("kestrum/input/5/state"), "OFF");
    const QJsonObject pump =
        QJsonDocument::fromJson(retained.value("homeassistant/switch/kestrum-test/output_3/config"))
            .object();
    EXPECT_EQ(pump.value("name").toString(), QStringLiteral("Pump"));
    EXPECT_EQ(pump.value("command_topic").toString(), QStringLiteral("kestrum/output/3/set"));
    const QJsonArray availability = pump.value("availability").toArray();
    EXPECT_EQ(availability.size(), 2);
    EXPECT_EQ(availability[1].toObject().value("topic").toString(),
              QStringLiteral("kestrum/board"));
    EXPECT_EQ(pump.value("availability_mode").toString(), QStringLiteral("all"));
    // A switch, a control select and a problem sensor per output, a sensor per input, a button.
    EXPECT_EQ(discoveryConfigs(retained).size(), 33);
    // A new client id empties the configs of the old one.
    setup.memory.write(mqtt::section, mqtt::clientId, QStringLiteral("kestrum-renamed"));
    connect();
    const QStringList after = discoveryConfigs(state());
    EXPECT_EQ(after.size(), 33);
    EXPECT_TRUE(after.filter(QStringLiteral("/kestrum-test/")).isEmpty())
        << after.join(' ').toStdString();
    // Back to the first, for the other cases.
    setup.memory.write(mqtt::section, mqtt::clientId, QStringLiteral("kestrum-test"));
    connect();
    EXPECT_TRUE(discoveryConfigs(state()).filter(QStringLiteral("/kestrum-renamed/")).isEmpty());

    setup.program->switchClicked(2);
    setup.board.setInput(5, true);
    scanOnce(setup.program->timers(), setup.time);  // what the board did counts, not the click
    ASSERT_TRUE(eventually([&] {
        const QMap<QString, QByteArray> now = state();
        return now.value("kestrum/output/3/state") == "ON" &&
               now.value("kestrum/input/5/state") == "ON";
    }));

    bridge->stop();
    EXPECT_EQ(state().value("kestrum/availability"), "offline");
}

// Supervision's warnings are off, as they are by default: the hub still sees the truth.
TEST_F(MqttBridgeTest, TheStateIsWhatTheBoardReadBackAndTheBoardGoesOfflineWhenItCannotBeRead) {
    scanOnce(setup.program->timers(), setup.time);
    ASSERT_TRUE(eventually([&] { return state().value("kestrum/board") == "online"; }));
    setup.board.setFault(3, SimulatedBoard::Fault::StuckOff);
    command(QStringLiteral("kestrum/output/3/set"), "ON");
    scanOnce(setup.program->timers(), setup.time);
    ASSERT_TRUE(eventually([&] { return state().value("kestrum/output/3/failed") == "ON"; }));
    EXPECT_EQ(state().value("kestrum/output/3/state"), "OFF");
    EXPECT_TRUE(setup.program->state().Valjundid[3] == 1);

    setup.board.setPortAvailable(1, false);
    scanOnce(setup.program->timers(), setup.time);
    ASSERT_TRUE(eventually([&] { return state().value("kestrum/board") == "offline"; }));
    setup.board.setPortAvailable(1, true);
    scanOnce(setup.program->timers(), setup.time);
    EXPECT_TRUE(eventually([&] { return state().value("kestrum/board") == "online"; }));
}

// The red all-off is an emergency stop: no remote may undo it until the user allows remotes
// again in the settings window. States still go out meanwhile.
TEST_F(MqttBridgeTest, TheControlSelectActsAndAfterTheAllOffCommandsAreRefusedUntilAllowed) {
    setup.program->state().Initsialiseeritud[5] = 1;  // output 5 has switching times
    command(QStringLiteral("kestrum/output/5/control/set"), "AUTO");
    EXPECT_TRUE(setup.program->panel().outputs[4].autoLampLit);
    EXPECT_TRUE(log().contains(QStringLiteral("Saadeti käsk: KOORMUS_5_AUTO")));
    ASSERT_TRUE(eventually([&] { return state().value("kestrum/output/5/control") == "AUTO"; }));

    command(QStringLiteral("kestrum/output/2/set"), "ON");
    ASSERT_TRUE(setup.board.relay(2));
    broker->publish(QStringLiteral("kestrum/all-off/set"), "PRESS");
    ASSERT_TRUE(eventually([&] { return !setup.board.relay(2); }));
    EXPECT_TRUE(log().contains(QStringLiteral("Saadeti käsk: KOIK_VALJA")));
    EXPECT_EQ(setup.seaded(QStringLiteral("RemoteControl")), "0");
    const QString storedBefore = setup.memory.read(sections::Mode.section, sections::Mode.key(1));
    CapturedWarnings warnings;
    broker->publish(QStringLiteral("kestrum/output/1/set"), "ON");
    broker->publish(QStringLiteral("kestrum/output/1/control/set"), "MANUAL");
    broker->publish(QStringLiteral("kestrum/output/1/set"), "ON");
    ASSERT_TRUE(eventually([&] { return !warnings.containing("refused").isEmpty(); }));
    setup.board.setInput(6, true);
    scanOnce(setup.program->timers(), setup.time);
    ASSERT_TRUE(eventually([&] { return state().value("kestrum/input/6/state") == "ON"; }));
    EXPECT_FALSE(setup.board.relay(1));
    EXPECT_TRUE(setup.program->state().Valjundid[1] == 0);
    EXPECT_EQ(setup.memory.read(sections::Mode.section, sections::Mode.key(1)), storedBefore);
    EXPECT_EQ(warnings.containing("refused").size(), 1) << warnings.all().join('\n').toStdString();
    EXPECT_TRUE(warnings.containing("refused").first().contains("Seaded"));

    GeneralSettings& settings = setup.program->generalSettings();
    GeneralForm form = settings.formOnOpening();
    EXPECT_FALSE(form.remoteControl);
    form.remoteControl = true;
    ASSERT_TRUE(settings.ComOK_Click(form));
    command(QStringLiteral("kestrum/output/1/set"), "ON");
    EXPECT_TRUE(setup.board.relay(1));
}

TEST_F(MqttBridgeTest, CommandsActAsTheSameCommandsByMailAndAnythingElseIsIgnored) {
    command(QStringLiteral("kestrum/output/3/set"), "ON");
    EXPECT_TRUE(setup.board.relay(3));
    EXPECT_EQ(setup.memory.read(sections::Valjundid.section, sections::Valjundid.key(3)), "1");
    EXPECT_TRUE(log().contains(QStringLiteral("Saadeti käsk: KOORMUS_3_SISSE_KOHE")));

    // Output 3 has no switching times.
    command(QStringLiteral("kestrum/output/3/control/set"), "AUTO");
    EXPECT_FALSE(setup.program->panel().outputs[2].autoLampLit);
    EXPECT_EQ(log().filter(QStringLiteral("KOORMUS_3_AUTO")), refusedAutoLines(3));

    const QStringList before = log();
    command(QStringLiteral("elsewhere/output/3/set"), "OFF");
    command(QStringLiteral("kestrum/output/9/set"), "OFF");
    command(QStringLiteral("kestrum/output/3/set"), "off please");
    command(QStringLiteral("kestrum/output/3/state"), "OFF");
    EXPECT_TRUE(setup.board.relay(3));
    for (const QString& line : log().mid(before.size())) {
        EXPECT_TRUE(line.contains(QStringLiteral("KOORMUS_8_"))) << line.toStdString();
    }
}

// On for the minutes given (the end is the schedule's); minutes out of range or not a number do
// nothing.
TEST_F(MqttBridgeTest, APulseSwitchesOnForItsMinutes) {
    for (const char* wrong : {"0", "1441", "20 min", "-5"}) {
        command(QStringLiteral("kestrum/output/3/pulse/set"), wrong);
    }
    EXPECT_FALSE(setup.board.relay(3));
    command(QStringLiteral("kestrum/output/3/pulse/set"), "20");
    EXPECT_TRUE(setup.board.relay(3));
    EXPECT_TRUE(log().contains(QStringLiteral("Saadeti käsk: KOORMUS_3_SISSE_20MIN")));
}

TEST_F(MqttBridgeTest, SurvivesABrokerRestartWithoutReplayingAKeptCommand) {
    broker->publish(QStringLiteral("kestrum/output/4/set"), "ON", true);
    ASSERT_TRUE(eventually([&] { return setup.board.relay(4); }));
    command(QStringLiteral("kestrum/output/4/set"), "OFF");
    connect();  // the broker hands the kept ON to the new subscription
    command(QStringLiteral("kestrum/output/4/state"), "ON");
    EXPECT_FALSE(setup.board.relay(4));

    broker->stop();
    setup.program->switchClicked(0);  // the panel goes on while the broker is away
    scanOnce(setup.program->timers(), setup.time);
    broker->start();  // forgetting all it kept

    ASSERT_TRUE(eventually([&] { return state().value("kestrum/output/1/state") == "ON"; }));
    EXPECT_EQ(state().value("kestrum/availability"), "online");
    command(QStringLiteral("kestrum/output/1/set"), "OFF");
    EXPECT_FALSE(setup.board.relay(1));
}

// Two boxes given the same id throw each other off the broker at each connect. Were the pause
// reset by every accepted connection, they would connect 21 times in 20 s between them;
// doubling pauses allow 0, 1, 4, 10 and 0, 2, 6, 14 s.
TEST_F(MqttBridgeTest, TwoClientsWithTheSameIdBackOff) {
    MqttConnection twin =
        MqttConnection::to({broker->url(), QString(), QString(), QStringLiteral("kestrum-twin"),
                            QString(), QString()});
    int lost = 0;
    const MqttClient::Events events{[] {}, [&](const QString&) { ++lost; },
                                    [](const QString&, const QByteArray&, bool) {}};
    MosquittoClient first;
    MosquittoClient second;
    first.start(twin, events);
    second.start(twin, events);
    const QDeadlineTimer twentySeconds(20000);
    while (!twentySeconds.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    const int connects = broker->connections(QStringLiteral("kestrum-twin"));
    EXPECT_GE(connects, 4);
    EXPECT_LE(connects, 10);
    EXPECT_GE(lost, 3);
}

// The broker's authority is the run's own: trusted only with its CA file, or where the system's
// authorities are made to include it. What the settings test tells, the running bridge tells on
// standard error, and it connects once the CA file is set.
TEST_F(MqttBridgeTest, TheSettingsTestAndTheBridgeTrustATlsBrokerOnlyWithItsAuthority) {
    MqttSettings settings{
        broker->url(), {}, {}, QStringLiteral("kestrum-test"), QStringLiteral("kestrum"), {}};
    EXPECT_EQ(testMqttBroker(settings), QStringLiteral("Connected to %1.").arg(broker->url()));
    settings.broker = QStringLiteral("mqtt://127.0.0.1:%1").arg(freePort());
    EXPECT_TRUE(testMqttBroker(settings).endsWith(QStringLiteral(": Connection refused")));
    settings.broker = broker->tlsUrl();
    const QString untrusted = testMqttBroker(settings);
    EXPECT_TRUE(untrusted.contains("unknown authority") && untrusted.contains("CA file"))
        << untrusted.toStdString();
    qputenv("SSL_CERT_FILE", broker->caFile().toLocal8Bit());
    EXPECT_EQ(testMqttBroker(settings), QStringLiteral("Connected to %1.").arg(settings.broker));
    qunsetenv("SSL_CERT_FILE");
    settings.caFile = broker->caFile() + QStringLiteral(".missing");
    EXPECT_TRUE(testMqttBroker(settings).contains(QStringLiteral("cannot be read")));
    // The running bridge was not pushed off the broker by the test's client.
    command(QStringLiteral("kestrum/output/2/set"), "ON");
    EXPECT_TRUE(setup.board.relay(2));

    CapturedWarnings warnings;
    setup.memory.write(mqtt::section, mqtt::broker, broker->tlsUrl());
    bridge->restart();
    ASSERT_TRUE(eventually([&] { return !warnings.containing("unknown authority").isEmpty(); }));
    setup.memory.write(mqtt::section, mqtt::caFile, broker->caFile());
    bridge->restart();
    ASSERT_TRUE(eventually([&] { return state().value("kestrum/availability") == "online"; }));
    command(QStringLiteral("kestrum/output/6/set"), "ON");
    EXPECT_TRUE(setup.board.relay(6));
}

// The user's way in: the form is refused while the broker cannot be used, and what it keeps
// is what the bridge connects with, also when the password alone could not be kept.
TEST_F(MqttBridgeTest, TheSettingsWindowKeepsTheSettingsAndRestartsTheBridge) {
    const auto fillAndConfirm = [&](const QString& topic, const QString& user) {
        QTimer::singleShot(0, [&, topic, user] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            child<QLineEdit>(dialog, "broker")->setText(QStringLiteral("broker.lan"));
            child<QLineEdit>(dialog, "topic")->setText(topic);
            child<QLineEdit>(dialog, "user")->setText(user);
            click(dialog, "ok");
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_TRUE(child<QLabel>(dialog, "report")->text().contains("mqtt://host:port"));
            child<QLineEdit>(dialog, "broker")->setText(broker->url());
            click(dialog, "ok");
        });
    };
    const auto online = [&](const QString& topic) {
        return eventually([&] {
            return broker->retained({topic + QStringLiteral("/#")})
                       .value(topic + QStringLiteral("/availability")) == "online";
        });
    };
    fillAndConfirm(QStringLiteral("house/box"), QString());
    EXPECT_EQ(editMqttSettings(setup.memory, passwords, *bridge, nullptr), QString());
    EXPECT_EQ(setup.memory.read(mqtt::section, mqtt::topic), QStringLiteral("house/box"));
    EXPECT_TRUE(online(QStringLiteral("house/box")));

    setup.memory.failWriteAfter(mqtt::section, 5);  // the five settings, not the password
    fillAndConfirm(QStringLiteral("house/yard"), QStringLiteral("hub"));
    const QString told = editMqttSettings(setup.memory, passwords, *bridge, nullptr);
    EXPECT_TRUE(told.startsWith("The broker, user, client id, base topic and CA file were saved"));
    EXPECT_TRUE(told.contains("the password was not saved")) << told.toStdString();
    EXPECT_TRUE(online(QStringLiteral("house/yard"))) << "the bridge uses what was saved";
}

}  // namespace
}  // namespace kestrum::testing
