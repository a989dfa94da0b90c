#include "web/web_server.h"
#include "web/web_dialog.h"

#include "core/settings_keys.h"
#include "support/local_servers.h"
#include "support/log_lines.h"
#include "support/program_on_doubles.h"
#include "support/scans.h"
#include "support/web_client.h"
#include "support/widget_lookup.h"
#include "web/password_hash.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QTcpServer>
#include <QWebSocket>

#include <gtest/gtest.h>

namespace kestrum::testing {
namespace {

const QString kPassword = QStringLiteral("kõik sisse");

QJsonObject object(const WebReply& reply) {
    return QJsonDocument::fromJson(reply.body).object();
}

QJsonObject output(const QJsonObject& state, int n) {
    return state[QStringLiteral("outputs")].toArray()[n - 1].toObject();
}

class WebServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const QString hash = hashPassword(kPassword);
        setup.set(QStringLiteral("Seaded"), QStringLiteral("Logi"), QStringLiteral("1"));
        setup.set(web::section, web::enabled, QStringLiteral("1"));
        setup.set(web::section, web::passwordHash, hash);
        setup.start();
        listenAt(QStringLiteral("127.0.0.1:%1").arg(freePort()));
        ASSERT_NE(server->port(), 0) << server->problem().toStdString();
        client.base = base();
        ASSERT_EQ(client.signIn(kPassword).status, 303);
    }

    void listenAt(const QString& listen) {
        setup.set(web::section, web::listen, listen);
        Program& program = *setup.program;
        server = std::make_unique<WebServer>(
            program.state(), program.panel(),
            WebServer::Services{{setup.memory, program.outputs(), program.timers(), program.log(),
                                 setup.time, setup.logPath(), [] { return true; }},
                                setup.folder.path()});
        server->restart();
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server->port()); }
    QJsonObject state() { return object(client.request("GET", QStringLiteral("/api/state"))); }
    QStringList log() const { return logLines(setup.logBytes()); }
    QString stored(const NumberedSection& section, int n) const {
        return setup.stored(section.section, section.key(n));
    }

    ProgramOnDoubles setup;
    std::unique_ptr<WebServer> server;
    WebClient client{QString()};
};

TEST_F(WebServerTest, OnlyASignedInBrowserGetsPastTheSignInAndChangesOnlyWithItsToken) {
    WebClient stranger(base());
    const struct {
        QString path;
        int status;
    } doors[] = {
        {QStringLiteral("/api/state"), 401}, {QStringLiteral("/api/session"), 401},
        {QStringLiteral("/"), 303},          {QStringLiteral("/app.js"), 303},
        {QStringLiteral("/login"), 200},     {QStringLiteral("/style.css"), 200},
        {QStringLiteral("/nowhere"), 303},   {QStringLiteral("/api/nowhere"), 401},
    };
    for (const auto& door : doors) {
        EXPECT_EQ(stranger.request("GET", door.path).status, door.status)
            << door.path.toStdString();
    }
    EXPECT_EQ(stranger.request("GET", QStringLiteral("/")).headers["location"], "/login");

    const WebReply wrong = stranger.signIn(QStringLiteral("kõik välja"));
    EXPECT_EQ(wrong.status, 401);
    EXPECT_GE(wrong.elapsedMs, 900);
    EXPECT_EQ(stranger.request("GET", QStringLiteral("/api/state")).status, 401);

    const WebReply right = stranger.signIn(kPassword);
    EXPECT_EQ(right.status, 303);
    EXPECT_TRUE(right.headers["set-cookie"].contains("HttpOnly"));
    EXPECT_TRUE(right.headers["set-cookie"].contains("SameSite=Strict"));
    EXPECT_FALSE(right.headers["set-cookie"].contains("Secure"));  // no TLS on loopback here
    EXPECT_EQ(stranger.csrf.size(), 32);
    const WebReply page = stranger.request("GET", QStringLiteral("/api/state"));
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.headers["content-security-policy"], "default-src 'self'");
    EXPECT_EQ(page.headers["x-frame-options"], "DENY");
    EXPECT_EQ(page.headers["cache-control"], "no-store");

    EXPECT_EQ(stranger.request("GET", QStringLiteral("/nowhere")).status, 404);
    EXPECT_EQ(stranger.request("GET", QStringLiteral("/api/nowhere")).status, 404);
    EXPECT_EQ(stranger.request("POST", QStringLiteral("/logout")).status, 303);
    EXPECT_EQ(stranger.request("GET", QStringLiteral("/api/state")).status, 401);
    EXPECT_EQ(client.request("GET", QStringLiteral("/api/state")).status, 200);

    // Changes without the session's token are forbidden.
    const QMap<QByteArray, QByteArray> headers[] = {{}, {{"X-CSRF-Token", "0123456789abcdef"}}};
    for (const auto& header : headers) {
        EXPECT_EQ(client.request("POST", QStringLiteral("/api/output/3/set"), "ON", header).status,
                  403);
        EXPECT_EQ(client.request("POST", QStringLiteral("/api/all-off"), {}, header).status, 403);
        EXPECT_EQ(client.request("DELETE", QStringLiteral("/api/log"), {}, header).status, 403);
    }
    EXPECT_FALSE(setup.board.relay(3));
    EXPECT_TRUE(log().filter(QStringLiteral("KOORMUS")).isEmpty());
}

TEST_F(WebServerTest, FiveWrongPasswordsShutTheAddressOutForAMinute) {
    WebClient guesser(base());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(guesser.signIn(QStringLiteral("arvan %1").arg(i)).status, 401);
    }
    EXPECT_EQ(guesser.signIn(kPassword).status, 429);
    setup.time.advance(61 * 1000);
    EXPECT_EQ(guesser.signIn(kPassword).status, 303);
}

TEST_F(WebServerTest, CommandsActOnTheBoardTheStoreAndTheLogAsByMail) {
    EXPECT_EQ(client.command("POST", QStringLiteral("/api/output/3/set"), "ON").status, 204);
    EXPECT_TRUE(setup.board.relay(3));
    EXPECT_EQ(stored(sections::Valjundid, 3), QStringLiteral("1"));
    EXPECT_EQ(log().last(), QStringLiteral("Saadeti käsk: KOORMUS_3_SISSE_KOHE"));
    EXPECT_EQ(output(state(), 3)[QStringLiteral("wanted")], QStringLiteral("ON"));

    const WebReply refused =
        client.command("POST", QStringLiteral("/api/output/4/control"), "AUTO");
    EXPECT_EQ(refused.status, 409);
    EXPECT_EQ(log().filter(QStringLiteral("KOORMUS_4_AUTO")), refusedAutoLines(4));
    EXPECT_EQ(output(state(), 4)[QStringLiteral("control")], QStringLiteral("MANUAL"));

    const struct {
        QString path;
        QByteArray body;
    } bad[] = {
        {QStringLiteral("/api/output/3/set"), "on"},
        {QStringLiteral("/api/output/3/set"), "AUTO"},
        {QStringLiteral("/api/output/3/control"), "ON"},
    };
    for (const auto& request : bad) {
        EXPECT_EQ(client.command("POST", request.path, request.body).status, 400);
    }
    EXPECT_EQ(client.command("POST", QStringLiteral("/api/output/9/set"), "ON").status, 404);
    EXPECT_TRUE(setup.board.relay(3));

    setup.program->state().MailEnabled = 1;
    EXPECT_EQ(client.command("POST", QStringLiteral("/api/all-off")).status, 204);
    EXPECT_FALSE(setup.board.relay(3));
    EXPECT_EQ(object(client.request("GET", QStringLiteral("/api/state")))[QStringLiteral("mail")]
                  .toObject()[QStringLiteral("enabled")],
              false);
    EXPECT_EQ(log().last(), QStringLiteral("Saadeti käsk: KOIK_VALJA"));

    // The all-off stops the remotes until remote control is on again; a pulse is a command too.
    const QString pulse = QStringLiteral("/api/output/3/pulse");
    EXPECT_EQ(client.command("POST", QStringLiteral("/api/output/3/set"), "ON").status, 409);
    EXPECT_EQ(client.command("POST", pulse, "20").status, 409);
    EXPECT_FALSE(setup.board.relay(3));
    setup.program->state().RemoteControl = 1;
    EXPECT_EQ(client.command("POST", pulse, "0").status, 400);
    EXPECT_EQ(client.command("POST", pulse, "20 min").status, 400);
    EXPECT_FALSE(setup.board.relay(3));
    EXPECT_EQ(client.command("POST", pulse, "20").status, 204);
    EXPECT_TRUE(setup.board.relay(3));

    // The log is read newest last, and deleted.
    const QJsonArray lines =
        object(client.request("GET", QStringLiteral("/api/log?tail=2")))[QStringLiteral("lines")]
            .toArray();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].toString().endsWith(QStringLiteral("Saadeti käsk: KOIK_VALJA")));
    EXPECT_TRUE(
        lines[1].toString().endsWith(QStringLiteral("Saadeti käsk: KOORMUS_3_SISSE_20MIN")));
    EXPECT_EQ(client.request("GET", QStringLiteral("/api/log?tail=x")).status, 400);
    EXPECT_EQ(client.command("DELETE", QStringLiteral("/api/log")).status, 204);
    EXPECT_FALSE(QFile::exists(setup.logPath()));
}

TEST_F(WebServerTest, BoardShowsTheReadBackAndNullWhileTheBoardCannotBeRead) {
    setup.board.setFault(2, SimulatedBoard::Fault::StuckOff);
    client.command("POST", QStringLiteral("/api/output/2/set"), "ON");
    scanOnce(setup.program->timers(), setup.time);
    EXPECT_EQ(output(state(), 2)[QStringLiteral("wanted")], QStringLiteral("ON"));
    EXPECT_EQ(output(state(), 2)[QStringLiteral("board")], QStringLiteral("OFF"));

    setup.board.setPortAvailable(setup.board.commPort(), false);
    scanOnce(setup.program->timers(), setup.time);
    EXPECT_TRUE(output(state(), 2)[QStringLiteral("board")].isNull());
    EXPECT_TRUE(state()[QStringLiteral("inputs")]
                    .toArray()[0]
                    .toObject()[QStringLiteral("state")]
                    .isNull());
}

TEST_F(WebServerTest, TimesAreStoredWithTheTimerWindowsChecks) {
    // What the page does not edit, an entry's weekdays, is kept as it is.
    setup.program->state().Nadalapaevad[10 * 4 + 3] = QStringLiteral("0000011");
    QJsonObject times = object(client.request("GET", QStringLiteral("/api/output/5/times")));
    ASSERT_EQ(times[QStringLiteral("entries")].toArray().size(), 10);
    QJsonArray entries = times[QStringLiteral("entries")].toArray();
    entries[0] = QJsonObject{{QStringLiteral("on_time"), QStringLiteral("07:30")},
                             {QStringLiteral("on_date"), QStringLiteral("2026-12-24")},
                             {QStringLiteral("off_time"), QStringLiteral("08:15:00")},
                             {QStringLiteral("off_date"), QStringLiteral("2026-12-24")}};
    entries[2] = entries[0];
    times[QStringLiteral("entries")] = entries;
    const WebReply kept =
        client.command("PUT", QStringLiteral("/api/output/5/times"), QJsonDocument(times).toJson());
    ASSERT_EQ(kept.status, 200) << kept.body.toStdString();
    const QJsonObject first = object(kept)[QStringLiteral("entries")].toArray()[0].toObject();
    EXPECT_TRUE(first[QStringLiteral("set")].toBool());
    EXPECT_EQ(first[QStringLiteral("on_time")], QStringLiteral("07:30:00"));
    EXPECT_EQ(stored(sections::Nadalapaevad, 43), QStringLiteral("0000011"));
    EXPECT_EQ(stored(sections::Initsialiseeritud, 5), QStringLiteral("1"));
    EXPECT_EQ(client.command("POST", QStringLiteral("/api/output/5/control"), "AUTO").status, 204);

    QJsonObject longName = times;
    longName[QStringLiteral("name")] = QStringLiteral("Kolmteist täh");
    QJsonObject badTime = times;
    entries[1] = QJsonObject{{QStringLiteral("on_time"), QStringLiteral("25:00")}};
    badTime[QStringLiteral("entries")] = entries;
    const struct {
        QByteArray body;
        QString reason;
    } refusals[] = {
        {QJsonDocument(longName).toJson(), QStringLiteral("Klahvi nimi pikem kui 12 sümbolit !")},
        {QJsonDocument(badTime).toJson(), QStringLiteral("entry 2: ")},
        {"{\"entries\": [", QString()},
        {"[]", QString()},
    };
    for (const auto& refusal : refusals) {
        const WebReply reply =
            client.command("PUT", QStringLiteral("/api/output/5/times"), refusal.body);
        EXPECT_EQ(reply.status, 400);
        EXPECT_TRUE(QString::fromUtf8(reply.body).startsWith(refusal.reason))
            << reply.body.toStdString();
    }
}

TEST_F(WebServerTest, LargeBodiesAndManyConnectionsAreRefused) {
    const QByteArray large(70 * 1024, 'x');
    EXPECT_EQ(client.command("PUT", QStringLiteral("/api/output/1/times"), large).status, 413);
    const QByteArray huge(8 * 1024 * 1024, 'x');
    EXPECT_EQ(client.command("PUT", QStringLiteral("/api/output/1/times"), huge).status, 413);
    EXPECT_EQ(client.request("GET", QStringLiteral("/api/state")).status, 200);

    // The client above holds connections of its own; strangers fill the rest and one more.
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 40; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QHostAddress::LocalHost, server->port());
    }
    const auto closed = [&] {
        return std::count_if(idle.begin(), idle.end(), [](const auto& socket) {
            return socket->state() == QAbstractSocket::UnconnectedState;
        });
    };
    EXPECT_TRUE(eventually([&] { return closed() >= 8; }));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
    EXPECT_LE(40 - closed(), 32);
    idle.clear();
    EXPECT_TRUE(eventually(
        [&] { return client.request("GET", QStringLiteral("/api/state")).status == 200; }));
}

TEST_F(WebServerTest, EventsSendTheStateSoonAfterABoardChange) {
    QWebSocket events;
    QStringList messages;
    QObject::connect(&events, &QWebSocket::textMessageReceived,
                     [&](const QString& message) { messages << message; });
    QNetworkRequest request(
        QUrl(QStringLiteral("ws://127.0.0.1:%1/api/events").arg(server->port())));
    request.setRawHeader("Cookie", client.cookieHeader());
    events.open(request);
    ASSERT_TRUE(eventually([&] { return !messages.isEmpty(); }));

    setup.board.setInput(6, true);
    scanOnce(setup.program->timers(), setup.time);
    QElapsedTimer sent;
    sent.start();
    const auto inputSix = [&] {
        const QJsonObject state = QJsonDocument::fromJson(messages.last().toUtf8()).object();
        return state[QStringLiteral("inputs")].toArray()[5].toObject()[QStringLiteral("state")];
    };
    ASSERT_TRUE(eventually([&] { return inputSix() == QStringLiteral("ON"); }));
    EXPECT_LT(sent.elapsed(), 300);

    QWebSocket stranger;
    bool strangerHeard = false;
    QObject::connect(&stranger, &QWebSocket::textMessageReceived, [&] { strangerHeard = true; });
    stranger.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/events").arg(server->port())));
    setup.board.setInput(6, false);
    scanOnce(setup.program->timers(), setup.time);
    ASSERT_TRUE(eventually([&] { return inputSix() == QStringLiteral("OFF"); }));
    EXPECT_FALSE(strangerHeard);
    EXPECT_NE(stranger.state(), QAbstractSocket::ConnectedState);
}

TEST_F(WebServerTest, TlsWithTheGivenCertificate) {
    makeTestCertificates(setup.folder.path());
    setup.set(web::section, web::certificate, setup.folder.filePath(QStringLiteral("server.crt")));
    setup.set(web::section, web::key, setup.folder.filePath(QStringLiteral("server.key")));
    listenAt(QStringLiteral("127.0.0.1:%1").arg(freePort()));
    ASSERT_TRUE(server->tls()) << server->problem().toStdString();

    WebClient secure(QStringLiteral("https://127.0.0.1:%1").arg(server->port()),
                     QSslCertificate::fromPath(setup.folder.filePath(QStringLiteral("ca.crt"))));
    const WebReply signIn = secure.signIn(kPassword);
    ASSERT_EQ(signIn.status, 303) << signIn.error.toStdString();
    EXPECT_TRUE(signIn.headers["set-cookie"].contains("Secure"));
    EXPECT_EQ(secure.command("POST", QStringLiteral("/api/output/7/set"), "ON").status, 204);
    EXPECT_TRUE(setup.board.relay(7));
    EXPECT_EQ(WebClient(base()).request("GET", QStringLiteral("/login")).status, 0);
}

TEST_F(WebServerTest, RefusesToListenWhereItWouldBeUnsafeOrCannot) {
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost));
    const QString lan = QStringLiteral("0.0.0.0:%1").arg(freePort());
    const struct {
        QString listen;
        QString hash;
        QString certificate;
        QString problem;
    } cases[] = {
        {lan, QString(), QString(), QStringLiteral("no password is set")},
        {lan, QStringLiteral("x"), QStringLiteral("/nonexistent/cert.pem"),
         QStringLiteral("the certificate /nonexistent/cert.pem cannot be read")},
        {QStringLiteral("127.0.0.1:%1").arg(taken.serverPort()), QStringLiteral("x"), QString(),
         QStringLiteral("it cannot listen on")},
        {QStringLiteral("localhost"), QStringLiteral("x"), QString(),
         QStringLiteral("\"localhost\" is no address")},
    };
    for (const auto& refused : cases) {
        setup.set(web::section, web::passwordHash, refused.hash);
        setup.set(web::section, web::certificate, refused.certificate);
        setup.set(web::section, web::key,
                  refused.certificate.isEmpty() ? QString() : QStringLiteral("/k"));
        listenAt(refused.listen);
        EXPECT_EQ(server->port(), 0);
        EXPECT_TRUE(server->problem().startsWith(refused.problem))
            << server->problem().toStdString();
    }
}

// The panel's settings window keeps only the password's hash, and says why the panel cannot
// listen.
TEST_F(WebServerTest, TheSettingsWindowKeepsOnlyThePasswordsHashAndSaysWhyThePanelCannotListen) {
    setup.set(web::section, web::passwordHash, QString());
    setup.set(web::section, web::enabled, QStringLiteral("0"));
    WebDialog dialog(setup.memory, *server);
    QDialog& form = dialog;  // OK, as the button box calls it
    child<QCheckBox>(&dialog, "enabled")->setChecked(true);
    child<QLineEdit>(&dialog, "listen")->setText(QStringLiteral("0.0.0.0:%1").arg(freePort()));
    form.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);  // still open
    EXPECT_TRUE(child<QLabel>(&dialog, "status")->text().contains(QStringLiteral("no password")));

    child<QLineEdit>(&dialog, "password")->setText(QStringLiteral("küttekeha"));
    form.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_NE(server->port(), 0);
    EXPECT_TRUE(server->tls()) << "it listens on the LAN now, with a certificate of its own";
    EXPECT_TRUE(child<QLabel>(&dialog, "status")->text().contains(server->fingerprint()));
    const QFile key(setup.folder.filePath(QStringLiteral("web-key.pem")));
    EXPECT_EQ(key.permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
    const QString fingerprint = server->fingerprint();
    server->restart();
    EXPECT_EQ(server->fingerprint(), fingerprint) << "made once, not at every start";
    const QString hash = setup.memory.read(web::section, web::passwordHash);
    EXPECT_TRUE(passwordMatches(QStringLiteral("küttekeha"), hash));
    EXPECT_FALSE(hash.contains(QStringLiteral("küttekeha")));
    EXPECT_EQ(setup.memory.read(web::section, web::enabled), QStringLiteral("1"));
}

}  // namespace
}  // namespace kestrum::testing
