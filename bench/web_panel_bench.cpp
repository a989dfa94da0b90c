// How quickly the web panel answers on loopback: the round trip of a command and of the state,
// p50 and p99 over many requests from one signed-in client, and the time from a board change
// (the scan that read it) to the events WebSocket's message, when the change comes after a
// quiet spell and when it comes right after a message (the pause that caps the rate).
#include "support/local_servers.h"
#include "support/program_on_doubles.h"
#include "support/scans.h"
#include "support/web_client.h"
#include "web/password_hash.h"
#include "web/web_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWebSocket>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace kestrum;
using namespace kestrum::testing;

constexpr int kRequests = 1000;
constexpr int kChanges = 100;

void report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double share) {
        return ms[std::min(ms.size() - 1, static_cast<size_t>(share * ms.size()))];
    };
    std::printf("%-44s p50 %6.2f ms   p99 %6.2f ms   max %6.2f ms   (n=%zu)\n", what, at(0.50),
                at(0.99), ms.back(), ms.size());
}

// Exits the program when the condition does not come true within a few seconds.
void waitFor(const std::function<bool()>& condition) {
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > 5000) {
            std::fprintf(stderr, "Waited in vain for the web panel\n");
            std::exit(1);
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    QCoreApplication app(argc, argv);

    ProgramOnDoubles setup;
    setup.set(web::section, web::enabled, QStringLiteral("1"));
    setup.set(web::section, web::listen, QStringLiteral("127.0.0.1:%1").arg(freePort()));
    setup.set(web::section, web::passwordHash, hashPassword(QStringLiteral("bench")));
    Program& program = setup.start();
    WebServer server(program.state(), program.panel(),
                     {{setup.memory, program.outputs(), program.timers(), program.log(), setup.time,
                       setup.logPath(), [] { return true; }},
                      setup.folder.path()});
    server.restart();
    WebClient client(QStringLiteral("http://127.0.0.1:%1").arg(server.port()));
    if (server.port() == 0 || client.signIn(QStringLiteral("bench")).status != 303) {
        std::fprintf(stderr, "The web panel did not start: %s\n", qPrintable(server.problem()));
        return 1;
    }

    std::vector<double> state;
    std::vector<double> command;
    for (int i = 0; i < kRequests; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (client.request("GET", QStringLiteral("/api/state")).status != 200) {
            return 1;
        }
        state.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        if (client.command("POST", QStringLiteral("/api/output/3/set"), i % 2 ? "OFF" : "ON")
                .status != 204) {
            return 1;
        }
        command.push_back(clock.nsecsElapsed() / 1e6);
    }
    report("GET /api/state round trip", state);
    report("POST /api/output/3/set round trip", command);

    QWebSocket events;
    int messages = 0;
    QObject::connect(&events, &QWebSocket::textMessageReceived, [&] { ++messages; });
    QNetworkRequest request(
        QUrl(QStringLiteral("ws://127.0.0.1:%1/api/events").arg(server.port())));
    request.setRawHeader("Cookie", client.cookieHeader());
    events.open(request);
    waitFor([&] { return messages > 0; });
    for (const bool quiet : {true, false}) {
        std::vector<double> delays;
        for (int i = 0; i < kChanges; ++i) {
            if (quiet) {
                QElapsedTimer pause;
                pause.start();
                waitFor([&] { return pause.elapsed() > 2 * 1000 / WebServer::kEventsPerSecond; });
            }
            const int before = messages;
            const int input = 1 + i % 8;
            setup.board.setInput(input, !setup.board.input(input));
            QElapsedTimer clock;
            clock.start();
            scanOnce(program.timers(), setup.time);
            waitFor([&] { return messages > before; });
            delays.push_back(clock.nsecsElapsed() / 1e6);
        }
        report(quiet ? "board change to WebSocket message, quiet"
                     : "board change to WebSocket message, busy",
               delays);
    }
    return 0;
}
