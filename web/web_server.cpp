#include "web_server.h"

#include "web/limited_listener.h"
#include "web/logging.h"
#include "web/self_signed_certificate.h"

#include <QDir>
#include <QFile>
#include <QHttpServerRequest>
#include <QJsonDocument>
#include <QPointer>
#include <QSslKey>
#include <QUrl>

namespace kestrum {

namespace {

QByteArray reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 204:
            return "No Content";
        case 303:
            return "See Other";
        case 400:
            return "Bad Request";
        case 401:
            return "Unauthorized";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 409:
            return "Conflict";
        case 413:
            return "Content Too Large";
        case 429:
            return "Too Many Requests";
        case 503:
            return "Service Unavailable";
        default:
            return "Internal Server Error";
    }
}

QByteArray serialize(const WebResponse& response, bool api) {
    QByteArray bytes =
        "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reason(response.status) + "\r\n";
    const auto header = [&bytes](const QByteArray& name, const QByteArray& value) {
        bytes += name + ": " + value + "\r\n";
    };
    if (!response.contentType.isEmpty()) {
        header("Content-Type", response.contentType);
    }
    header("Content-Length", QByteArray::number(response.body.size()));
    header("Content-Security-Policy", "default-src 'self'");
    header("X-Frame-Options", "DENY");
    header("X-Content-Type-Options", "nosniff");
    header("Referrer-Policy", "no-referrer");
    if (api) {
        header("Cache-Control", "no-store");
    }
    if (response.status == 413) {
        header("Connection", "close");
    }
    for (const auto& [name, value] : response.headers) {
        header(name, value);
    }
    return bytes + "\r\n" + response.body;
}

QByteArray methodName(QHttpServerRequest::Method method) {
    switch (method) {
        case QHttpServerRequest::Method::Get:
            return "GET";
        case QHttpServerRequest::Method::Post:
            return "POST";
        case QHttpServerRequest::Method::Put:
            return "PUT";
        case QHttpServerRequest::Method::Delete:
            return "DELETE";
        case QHttpServerRequest::Method::Head:
            return "HEAD";
        case QHttpServerRequest::Method::Patch:
            return "PATCH";
        case QHttpServerRequest::Method::Options:
            return "OPTIONS";
        default:
            return "OTHER";
    }
}

QByteArray cookie(const QByteArray& header, const QByteArray& name) {
    for (const QByteArray& pair : header.split(';')) {
        const QByteArray trimmed = pair.trimmed();
        if (trimmed.startsWith(name + '=')) {
            return trimmed.mid(name.size() + 1);
        }
    }
    return {};
}

WebRequest webRequest(const QHttpServerRequest& request) {
    return WebRequest{methodName(request.method()),
                      request.url().path(),
                      request.query(),
                      request.body(),
                      cookie(request.value("cookie"), "kestrum_session"),
                      request.value("x-csrf-token"),
                      request.remoteAddress()};
}

bool isUpgrade(const QHttpServerRequest& request) {
    return request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0;
}

// A page of another site may open a WebSocket here with the user's cookie; only this panel's
// own page may.
bool sameOrigin(const QHttpServerRequest& request) {
    const QByteArray origin = request.value("origin");
    return origin.isEmpty() || QUrl(QString::fromLatin1(origin)).authority() ==
                                   QString::fromLatin1(request.value("host"));
}

constexpr quint64 kMaxIncomingEventBytes = 1024;

QString hexPairs(const QByteArray& digest) {
    return QString::fromLatin1(digest.toHex(':').toUpper());
}

}  // namespace

WebServer::WebServer(State& state, Panel& panel, Services services)
    : m_panel(panel),
      m_store(services.api.store),
      m_dataFolder(std::move(services.dataFolder)),
      m_api(state, panel, std::move(services.api)),
      m_subscription(panel.subscribe([this] { panelChanged(); })) {
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, &WebServer::eventsConnected);
    m_eventDelay.setSingleShot(true);
    connect(&m_eventDelay, &QTimer::timeout, this, &WebServer::sendState);
}

WebServer::~WebServer() {
    m_panel.unsubscribe(m_subscription);
    stop();
}

quint16 WebServer::port() const {
    const QList<QTcpServer*> listening = servers();
    return listening.isEmpty() ? 0 : listening.first()->serverPort();
}

void WebServer::stop() {
    m_events.clear();
    m_eventDelay.stop();
    qDeleteAll(servers());
    m_tls = false;
    m_fingerprint.clear();
    m_problem.clear();
}

void WebServer::restart() {
    stop();
    const WebSettings settings = readWebSettings(m_store);
    m_api.setPasswordHash(settings.passwordHash);
    if (settings.enabled && listenOn(settings)) {
        qCInfo(lcWeb).noquote() << "The web panel listens on"
                                << QStringLiteral("%1://%2").arg(
                                       m_tls ? QStringLiteral("https") : QStringLiteral("http"),
                                       settings.listen);
    }
}

void WebServer::refuse(const QString& problem) {
    m_problem = problem;
    qCWarning(lcWeb).noquote() << "The web panel is off:" << problem;
}

bool WebServer::listenOn(const WebSettings& settings) {
    QString problem;
    const std::optional<ListenAddress> address = parseListen(settings.listen, &problem);
    if (!address) {
        refuse(problem);
        return false;
    }
    if (settings.passwordHash.isEmpty()) {
        refuse(
            QStringLiteral("no password is set. Set one with kestrum --set-web-password or "
                           "in Seaded, Web panel..."));
        return false;
    }
    QString certificatePath = settings.certificate;
    QString keyPath = settings.key;
    if (certificatePath.isEmpty() != keyPath.isEmpty()) {
        refuse(QStringLiteral("give both a certificate and its key, or neither"));
        return false;
    }
    if (certificatePath.isEmpty() && !address->loopback()) {
        // A LAN address without TLS would carry the password in clear text.
        certificatePath = QDir(m_dataFolder).filePath(QStringLiteral("web-certificate.pem"));
        keyPath = QDir(m_dataFolder).filePath(QStringLiteral("web-key.pem"));
        if (!QFile::exists(certificatePath) || !QFile::exists(keyPath)) {
            if (!makeSelfSignedCertificate(certificatePath, keyPath, address->host, &problem)) {
                refuse(problem);
                return false;
            }
        }
    }
    const QByteArray tooLarge = serialize(
        {413, "text/plain; charset=utf-8", "The request body is larger than 64 KB\n", {}, 0},
        false);
    QTcpServer* listener = nullptr;
    if (!certificatePath.isEmpty()) {
        QFile certificateFile(certificatePath);
        QFile keyFile(keyPath);
        const QList<QSslCertificate> chain =
            certificateFile.open(QIODevice::ReadOnly)
                ? QSslCertificate::fromData(certificateFile.readAll(), QSsl::Pem)
                : QList<QSslCertificate>();
        if (chain.isEmpty()) {
            refuse(QStringLiteral("the certificate %1 cannot be read: %2")
                       .arg(certificatePath, certificateFile.error() == QFile::NoError
                                                 ? QStringLiteral("it holds no PEM certificate")
                                                 : certificateFile.errorString()));
            return false;
        }
        QSslKey key;
        if (keyFile.open(QIODevice::ReadOnly)) {
            const QByteArray pem = keyFile.readAll();
            key = QSslKey(pem, QSsl::Rsa);
            if (key.isNull()) {
                key = QSslKey(pem, QSsl::Ec);
            }
        }
        if (key.isNull()) {
            refuse(QStringLiteral("the key %1 cannot be read: %2")
                       .arg(keyPath, keyFile.error() == QFile::NoError
                                         ? QStringLiteral("it holds no unencrypted PEM key")
                                         : keyFile.errorString()));
            return false;
        }
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificateChain(chain);
        configuration.setPrivateKey(key);
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        auto* sslListener = new LimitedListener<QSslServer>(kMaxBodyBytes, tooLarge);
        sslListener->setSslConfiguration(configuration);
        listener = sslListener;
        m_tls = true;
        m_fingerprint = hexPairs(chain.first().digest(QCryptographicHash::Sha256));
    } else if (!address->loopback()) {
        refuse(QStringLiteral("a LAN address needs TLS"));
        return false;
    } else {
        listener = new LimitedListener<QTcpServer>(kMaxBodyBytes, tooLarge);
    }
    if (!listener->listen(address->host, address->port)) {
        refuse(QStringLiteral("it cannot listen on %1: %2. Choose another port in Seaded, Web "
                              "panel...")
                   .arg(settings.listen, listener->errorString()));
        delete listener;
        m_tls = false;
        m_fingerprint.clear();
        return false;
    }
    bind(listener);
    if (m_tls) {
        qCInfo(lcWeb).noquote() << "The web panel's certificate has the SHA-256 fingerprint"
                                << m_fingerprint;
    }
    return true;
}

bool WebServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    LimitedListener<QTcpServer>::requestTaken(socket);
    if (isUpgrade(request)) {
        // True hands the socket to the WebSocket server; false leaves it to missingHandler.
        const bool accepted = request.url().path() == QLatin1String("/api/events") &&
                              sameOrigin(request) && m_api.signedIn(webRequest(request));
        if (accepted) {
            LimitedListener<QTcpServer>::upgraded(socket);
        }
        return accepted;
    }
    const WebRequest webRequest = kestrum::webRequest(request);
    const WebResponse response = m_api.answer(webRequest, m_tls);
    const bool api = webRequest.path.startsWith(QLatin1String("/api/"));
    if (response.delayMs > 0) {
        QTimer::singleShot(response.delayMs, socket,
                           [this, socket = QPointer<QTcpSocket>(socket), response, api] {
                               if (socket) {
                                   write(socket, response, api);
                               }
                           });
    } else {
        write(socket, response, api);
    }
    return true;
}

void WebServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    write(socket,
          request.url().path() == QLatin1String("/api/events")
              ? WebResponse{401, "text/plain; charset=utf-8", "Sign in first\n", {}, 0}
              : WebResponse{404, "text/plain; charset=utf-8", "Nothing is here\n", {}, 0},
          true);
}

void WebServer::write(QTcpSocket* socket, const WebResponse& response, bool api) {
    socket->write(serialize(response, api));
    if (response.status == 413) {
        socket->disconnectFromHost();
    }
}

void WebServer::eventsConnected() {
    while (hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = nextPendingWebSocketConnection();
        QWebSocket* events = socket.get();
        // The page sends nothing; a signed-in client that does must not make it buffer much.
        events->setMaxAllowedIncomingMessageSize(kMaxIncomingEventBytes);
        events->setMaxAllowedIncomingFrameSize(kMaxIncomingEventBytes);
        // Deleted later: the signal comes from inside the socket.
        connect(events, &QWebSocket::disconnected, this, [this, events] {
            for (auto& open : m_events) {
                if (open.get() == events) {
                    open.release()->deleteLater();
                }
            }
            std::erase(m_events, nullptr);
        });
        events->sendTextMessage(
            QString::fromUtf8(QJsonDocument(m_api.state()).toJson(QJsonDocument::Compact)));
        m_events.push_back(std::move(socket));
    }
}

// Scans change the panel ten times a second, and the page needs no more: a change within
// the pause after a message is sent at its end.
void WebServer::panelChanged() {
    if (m_events.empty() || m_eventDelay.isActive()) {
        return;
    }
    const qint64 pauseMs = 1000 / kEventsPerSecond;
    if (m_sinceLastEvent.isValid() && m_sinceLastEvent.elapsed() < pauseMs) {
        m_eventDelay.start(static_cast<int>(pauseMs - m_sinceLastEvent.elapsed()));
        return;
    }
    sendState();
}

void WebServer::sendState() {
    const QByteArray document = QJsonDocument(m_api.state()).toJson(QJsonDocument::Compact);
    if (document == m_lastEvent) {
        return;
    }
    m_lastEvent = document;
    m_sinceLastEvent.start();
    const QString message = QString::fromUtf8(document);
    for (const auto& events : m_events) {
        events->sendTextMessage(message);
    }
}

}  // namespace kestrum
