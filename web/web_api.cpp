#include "web_api.h"

#include "web/logging.h"
#include "web/password_hash.h"
#include "web/state_document.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <sodium.h>

namespace kestrum {

namespace {

struct Asset {
    const char* path;
    const char* resource;
    const char* contentType;
    bool open;  // served without a session: the sign-in page and what it needs
};

constexpr Asset kAssets[] = {
    {"/", ":/web/index.html", "text/html; charset=utf-8", false},
    {"/app.js", ":/web/app.js", "text/javascript; charset=utf-8", false},
    {"/login", ":/web/login.html", "text/html; charset=utf-8", true},
    {"/login.js", ":/web/login.js", "text/javascript; charset=utf-8", true},
    {"/style.css", ":/web/style.css", "text/css; charset=utf-8", true},
};

WebResponse text(int status, const QString& line) {
    return {status, "text/plain; charset=utf-8", line.toUtf8() + '\n', {}, 0};
}

WebResponse json(const QJsonObject& document, int status = 200) {
    return {
        status, "application/json", QJsonDocument(document).toJson(QJsonDocument::Compact), {}, 0};
}

WebResponse redirect(const QByteArray& to) {
    return {303, {}, {}, {{"Location", to}}, 0};
}

const QString kMinutesWanted = QStringLiteral("The body must be the minutes, 1 to 1440");

WebResponse noContent() {
    return {204, {}, {}, {}, 0};
}

WebResponse asset(const Asset& asset) {
    QFile file(QString::fromLatin1(asset.resource));
    if (!file.open(QIODevice::ReadOnly)) {
        return text(500, QStringLiteral("The page is missing from this build"));
    }
    return {200, asset.contentType, file.readAll(), {}, 0};
}

QByteArray sessionCookie(const QByteArray& token, bool tls, qint64 maxAgeSeconds) {
    QByteArray cookie =
        "kestrum_session=" + token +
        "; Path=/; HttpOnly; SameSite=Strict; Max-Age=" + QByteArray::number(maxAgeSeconds);
    if (tls) {
        cookie += "; Secure";
    }
    return cookie;
}

// Compared in constant time, so the answer's timing tells nothing of the token.
bool sameToken(const QByteArray& given, const QByteArray& expected) {
    return given.size() == expected.size() &&
           sodium_memcmp(given.constData(), expected.constData(),
                         static_cast<size_t>(expected.size())) == 0;
}

bool changes(const QByteArray& method) {
    return method == "POST" || method == "PUT" || method == "DELETE";
}

}  // namespace

WebApi::WebApi(State& state, Panel& panel, Services services)
    : m_state(state),
      m_services(std::move(services)),
      m_switching(state, panel, m_services.store, m_services.outputs),
      m_outputSettings(state, panel, m_services.store, m_services.timers, m_ui, m_services.clock),
      m_times(state, m_outputSettings, m_ui),
      m_logViewer(m_ui, m_services.logFilePath),
      m_sessions(m_services.clock),
      m_signInLimit(m_services.clock) {}

void WebApi::setPasswordHash(const QString& hash) {
    if (hash != m_passwordHash) {
        m_sessions.closeAll();
    }
    m_passwordHash = hash;
}

QJsonObject WebApi::state() const {
    return stateDocument(m_state, m_services.clock.now());
}

WebResponse WebApi::answer(const WebRequest& request, bool tls) {
    if (request.body.size() > kMaxBodyBytes) {
        return text(413, QStringLiteral("The request body is larger than 64 KB"));
    }
    if (request.path == QLatin1String("/login") && request.method == "POST") {
        return signIn(request, tls);
    }
    if (request.path == QLatin1String("/logout") && request.method == "POST") {
        m_sessions.close(request.sessionCookie);
        WebResponse response = redirect("/login");
        response.headers.append({"Set-Cookie", sessionCookie({}, tls, 0)});
        return response;
    }
    for (const Asset& known : kAssets) {
        if (request.path != QLatin1String(known.path)) {
            continue;
        }
        if (request.method != "GET") {
            return text(405, QStringLiteral("Only GET is answered here"));
        }
        if (!known.open && m_sessions.use(request.sessionCookie).isEmpty()) {
            return redirect("/login");
        }
        return asset(known);
    }
    if (request.path.startsWith(QLatin1String("/api/"))) {
        return api(request);
    }
    // Without a session every path leads to the sign-in: a stranger learns nothing of what exists.
    if (m_sessions.use(request.sessionCookie).isEmpty()) {
        return redirect("/login");
    }
    return text(404, QStringLiteral("Nothing is at %1").arg(request.path));
}

WebResponse WebApi::signIn(const WebRequest& request, bool tls) {
    if (m_signInLimit.shutOut(request.peer)) {
        return text(429, QStringLiteral("Too many wrong passwords: wait a minute"));
    }
    const QString password =
        QUrlQuery(QString::fromUtf8(request.body).replace(QLatin1Char('+'), QLatin1Char(' ')))
            .queryItemValue(QStringLiteral("password"), QUrl::FullyDecoded);
    if (password.isEmpty() || !passwordMatches(password, m_passwordHash)) {
        if (m_signInLimit.failed(request.peer)) {
            qCWarning(lcWeb).noquote()
                << "Web panel: five wrong passwords within a minute from" << request.peer.toString()
                << "- its sign-ins are refused for a minute";
        }
        WebResponse response = text(401, QStringLiteral("Wrong password"));
        response.delayMs = kWrongPasswordDelayMs;
        return response;
    }
    WebResponse response = redirect("/");
    response.headers.append(
        {"Set-Cookie", sessionCookie(m_sessions.open(), tls, Sessions::kIdleMs / 1000)});
    return response;
}

WebResponse WebApi::api(const WebRequest& request) {
    const QByteArray csrf = m_sessions.use(request.sessionCookie);
    if (csrf.isEmpty()) {
        return text(401, QStringLiteral("Sign in first"));
    }
    if (changes(request.method) && !sameToken(request.csrfHeader, csrf)) {
        return text(403, QStringLiteral("The X-CSRF-Token header is missing or wrong"));
    }
    if (changes(request.method) && !m_services.running()) {
        return text(503, QStringLiteral("The program is shutting down"));
    }
    const QString path = request.path.mid(4);  // from the slash after /api
    const auto method = [&](const char* expected) { return request.method == expected; };
    if (path == QLatin1String("/session") && method("GET")) {
        return json({{QStringLiteral("csrf"), QString::fromLatin1(csrf)}});
    }
    if (path == QLatin1String("/state") && method("GET")) {
        return json(state());
    }
    if (path == QLatin1String("/all-off") && method("POST")) {
        m_switching.allOff(m_services.log);
        return noContent();
    }
    if (path == QLatin1String("/log")) {
        if (method("GET")) {
            return logTail(request);
        }
        if (method("DELETE")) {
            m_logViewer.ComKill_Click();
            return noContent();
        }
    }
    if (path == QLatin1String("/events")) {
        return text(400, QStringLiteral("/api/events is a WebSocket"));
    }
    static const QRegularExpression outputPath(
        QStringLiteral("^/output/([1-8])/(set|control|pulse|times)$"));
    const QRegularExpressionMatch match = outputPath.match(path);
    if (match.hasMatch()) {
        return output(request, match.captured(1).toInt(), match.captured(2));
    }
    return text(404, QStringLiteral("Nothing is at %1").arg(request.path));
}

WebResponse WebApi::output(const WebRequest& request, int n, const QString& what) {
    const QByteArray body = request.body.trimmed();
    if (what == QLatin1String("times")) {
        if (request.method == "GET") {
            return json(m_times.read(n));
        }
        if (request.method != "PUT") {
            return text(405, QStringLiteral("Times are read with GET and stored with PUT"));
        }
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(body, &error);
        if (!document.isObject()) {
            return text(400, QStringLiteral("The body is no JSON object: %1")
                                 .arg(error.error == QJsonParseError::NoError
                                          ? QStringLiteral("not an object")
                                          : error.errorString()));
        }
        const QString refusal = m_times.write(n, document.object());
        return refusal.isEmpty() ? json(m_times.read(n)) : text(400, refusal);
    }
    if (request.method != "POST") {
        return text(405, QStringLiteral("Commands are sent with POST"));
    }
    if (what == QLatin1String("pulse")) {
        return pulse(n, body);
    }
    const RemoteCommandKind kind = what == QLatin1String("set") ? RemoteCommandKind::Switching
                                                                : RemoteCommandKind::ControlMode;
    const RemoteCommandEntry* command = remoteCommandOfWord(kind, body);
    if (command == nullptr) {
        return text(400, QStringLiteral("The body must be ") + remoteCommandWords(kind));
    }
    return answer(m_switching.run(n, command->command, m_services.log), n);
}

// What a command came to, in the same words for a switching and a pulse.
WebResponse WebApi::answer(RemoteSwitching::Result result, int n) {
    switch (result) {
        case RemoteSwitching::Result::NoTimes:
            return text(409, QStringLiteral("Output %1 has no switching times: set them first "
                                            "(aegpuudu)")
                                 .arg(n));
        case RemoteSwitching::Result::OutOfRange:
            return text(400, kMinutesWanted);
        case RemoteSwitching::Result::Refused:
            return text(409, QStringLiteral("Remote control is off since the all-off: turn it on "
                                            "again with \"Obey MQTT and web commands\" in the "
                                            "settings window (Seaded)"));
        case RemoteSwitching::Result::Dropped:
            return text(429, QStringLiteral("Too many commands: at most %1 a second are taken")
                                 .arg(CommandRateLimit::kPerSecond));
        default:
            return noContent();
    }
}

// The minutes in plain digits, 1 to 1440, as by mail and MQTT.
WebResponse WebApi::pulse(int n, const QByteArray& body) {
    bool number = false;
    const int minutes = body.toInt(&number);
    if (!number || body != QByteArray::number(minutes)) {
        return text(400, kMinutesWanted);
    }
    return answer(m_switching.runPulse(n, minutes, m_services.log), n);
}

WebResponse WebApi::logTail(const WebRequest& request) {
    const QString tailText = request.query.queryItemValue(QStringLiteral("tail"));
    bool number = tailText.isEmpty();
    const int tail = tailText.isEmpty() ? 100 : tailText.toInt(&number);
    if (!number || tail < 0) {
        return text(400, QStringLiteral("tail must be a number of lines"));
    }
    QStringList lines = m_logViewer.ViewLog().split(QRegularExpression(QStringLiteral("\r?\n")),
                                                    Qt::SkipEmptyParts);
    if (lines.size() > tail) {
        lines = lines.mid(lines.size() - tail);
    }
    return json({{QStringLiteral("lines"), QJsonArray::fromStringList(lines)}});
}

}  // namespace kestrum
