#include "mosquitto_client.h"

#include <QEventLoop>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <arpa/inet.h>
#include <mosquitto.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace kestrum {

namespace {

using namespace std::chrono_literals;

constexpr int kKeepAliveSeconds = 30;
constexpr int kLoopWaitMs = 200;
constexpr auto kFirstPause = 1s;
constexpr auto kLongestPause = 60s;
// A connection the broker drops sooner (an ACL, another client with the same id) does not count
// as a success: its reconnects go on slowing down.
constexpr auto kStableConnection = 60s;
// How long a stop waits for what was published to leave, and then for the thread to end.
constexpr auto kFlushTime = 2s;
constexpr auto kStopWait = 3s;
constexpr int kQos = 1;

QString errorText(int rc) {
    if (rc == MOSQ_ERR_ERRNO) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    return QString::fromUtf8(mosquitto_strerror(rc));
}

// Why the broker's certificate was not trusted, in words that say what to do.
QString untrustedBecause(long verifyResult, const QString& host) {
    switch (verifyResult) {
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
            return QStringLiteral(
                "TLS: the broker's certificate is signed by an unknown authority; give that "
                "authority's certificate as the CA file in the MQTT settings");
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return QStringLiteral(
                       "TLS: the broker's certificate is not made out to %1 (name mismatch); "
                       "use the name it is made out to")
                .arg(host);
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return QStringLiteral("TLS: the broker's certificate has expired");
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return QStringLiteral(
                "TLS: the broker's certificate is not valid yet; check this computer's clock");
        default:
            return QStringLiteral("TLS: the broker's certificate was refused: %1")
                .arg(QString::fromUtf8(X509_verify_cert_error_string(verifyResult)));
    }
}

bool isAddress(const QByteArray& host) {
    unsigned char address[16];
    return inet_pton(AF_INET, host.constData(), address) == 1 ||
           inet_pton(AF_INET6, host.constData(), address) == 1;
}

}  // namespace

class MosquittoClient::Session {
public:
    Session(const MqttConnection& connection, Events events)
        : m_connection(connection),
          m_events(std::move(events)),
          m_receiver(std::make_unique<QObject>()) {
        static const int initialised = mosquitto_lib_init();
        Q_UNUSED(initialised);
        m_mosq = mosquitto_new(connection.clientId.toUtf8().constData(), true, this);
    }
    ~Session() { mosquitto_destroy(m_mosq); }

    // Starts the loop; settings the library refuses are reported as a lost connection.
    void start();
    void publish(const QString& topic, const QByteArray& payload) {
        ++m_unacknowledged;
        if (mosquitto_publish(m_mosq, nullptr, topic.toUtf8().constData(),
                              static_cast<int>(payload.size()), payload.constData(), kQos,
                              true) != MOSQ_ERR_SUCCESS) {
            --m_unacknowledged;
        }
    }
    // True when the session may be deleted now; false when its thread will delete it.
    bool stop();

private:
    QString configure();
    int configureTls();
    void run();
    int connect(bool first);
    int loopUntilLost();
    void pause();
    void finish();
    void post(std::function<void()> call);

    static void onConnect(mosquitto* mosq, void* self, int rc);
    static void onMessage(mosquitto* mosq, void* self, const mosquitto_message* message);
    static void onPublish(mosquitto* mosq, void* self, int mid);
    static void onTlsInfo(const SSL* ssl, int where, int value);

    const MqttConnection m_connection;
    const QByteArray m_host = m_connection.broker.host.toUtf8();
    Events m_events;  // used on the starting thread only
    mosquitto* m_mosq = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stopping = false;
    // Publications the broker has not acknowledged yet; a stop disconnects once they are.
    std::atomic<int> m_unacknowledged = 0;
    // The loop thread's own.
    QString m_refusal;
    QString m_untrusted;  // why the last handshake did not trust the broker
    std::chrono::seconds m_pause = kFirstPause;
    std::optional<std::chrono::steady_clock::time_point> m_connectedAt;
    // Shared by both threads under m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::unique_ptr<QObject> m_receiver;  // the starting thread's; gone once stopped
    bool m_finished = false;
    bool m_abandoned = false;
};

QString MosquittoClient::Session::configure() {
    if (!m_mosq) {
        return QStringLiteral("the MQTT library could not make a client: %1")
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    mosquitto_threaded_set(m_mosq, true);
    mosquitto_int_option(m_mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    // A command and its state are small packets: Nagle's wait for the broker's delayed
    // acknowledgement would add tens of milliseconds to each.
    mosquitto_int_option(m_mosq, MOSQ_OPT_TCP_NODELAY, 1);
    int rc = MOSQ_ERR_SUCCESS;
    if (!m_connection.user.isEmpty()) {
        rc = mosquitto_username_pw_set(m_mosq, m_connection.user.toUtf8().constData(),
                                       m_connection.password.toUtf8().constData());
    }
    if (rc == MOSQ_ERR_SUCCESS && !m_connection.willTopic.isEmpty()) {
        rc = mosquitto_will_set(m_mosq, m_connection.willTopic.toUtf8().constData(),
                                static_cast<int>(m_connection.willPayload.size()),
                                m_connection.willPayload.constData(), kQos, true);
    }
    if (rc == MOSQ_ERR_SUCCESS && m_connection.broker.tls) {
        rc = configureTls();
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        return errorText(rc);
    }
    mosquitto_connect_callback_set(m_mosq, &Session::onConnect);
    mosquitto_message_callback_set(m_mosq, &Session::onMessage);
    mosquitto_publish_callback_set(m_mosq, &Session::onPublish);
    return QString();
}

// Verified against the CA file, or the system's certificate authorities, host name included.
// The context is wholly our own, without the library's defaults, so that a refusal can be named:
// the library only says "A TLS error occurred", and the user cannot tell a missing authority
// from an expired certificate.
int MosquittoClient::Session::configureTls() {
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    if (!context) {
        return MOSQ_ERR_TLS;
    }
    const bool authorities =
        m_connection.caFile.isEmpty()
            ? SSL_CTX_set_default_verify_paths(context) == 1
            : SSL_CTX_load_verify_locations(
                  context, QFile::encodeName(m_connection.caFile).constData(), nullptr) == 1;
    X509_VERIFY_PARAM* checks = SSL_CTX_get0_param(context);
    const bool name = isAddress(m_host)
                          ? X509_VERIFY_PARAM_set1_ip_asc(checks, m_host.constData()) == 1
                          : X509_VERIFY_PARAM_set1_host(checks, m_host.constData(), 0) == 1;
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_app_data(context, this);
    SSL_CTX_set_info_callback(context, &Session::onTlsInfo);
    // The library keeps a reference of its own.
    int rc = mosquitto_void_option(m_mosq, MOSQ_OPT_SSL_CTX, context);
    SSL_CTX_free(context);
    if (rc == MOSQ_ERR_SUCCESS) {
        rc = mosquitto_int_option(m_mosq, MOSQ_OPT_SSL_CTX_WITH_DEFAULTS, 0);
    }
    if (!authorities) {
        return MOSQ_ERR_TLS;
    }
    return name ? rc : MOSQ_ERR_INVAL;
}

// The client's alert after a failed verification is the moment the verdict is still known.
void MosquittoClient::Session::onTlsInfo(const SSL* ssl, int where, int) {
    if ((where & SSL_CB_WRITE_ALERT) != SSL_CB_WRITE_ALERT) {
        return;
    }
    auto* session = static_cast<Session*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(ssl)));
    const long verdict = SSL_get_verify_result(ssl);
    if (session && verdict != X509_V_OK) {
        session->m_untrusted = untrustedBecause(verdict, session->m_connection.broker.host);
    }
}

void MosquittoClient::Session::start() {
    const QString problem = configure();
    if (!problem.isEmpty()) {
        post([this, problem] { m_events.lost(problem); });
        return;
    }
    m_thread = std::thread([this] { run(); });
}

void MosquittoClient::Session::run() {
    bool first = true;
    while (!m_stopping) {
        m_untrusted.clear();
        int rc = connect(first);
        first = false;
        QString reason = rc == MOSQ_ERR_SUCCESS ? QString() : errorText(rc);
        if (rc == MOSQ_ERR_SUCCESS) {
            m_connectedAt.reset();
            rc = loopUntilLost();
            if (m_connectedAt &&
                std::chrono::steady_clock::now() - *m_connectedAt >= kStableConnection) {
                m_pause = kFirstPause;
            }
            reason = m_refusal.isEmpty() ? errorText(rc) : m_refusal;
            m_refusal.clear();
        }
        if (!m_untrusted.isEmpty()) {
            reason = m_untrusted;
        }
        if (m_stopping) {
            break;
        }
        post([this, reason] { m_events.lost(reason); });
        pause();
    }
    finish();
}

int MosquittoClient::Session::connect(bool first) {
    if (first) {
        return mosquitto_connect_async(m_mosq, m_host.constData(), m_connection.broker.port,
                                       kKeepAliveSeconds);
    }
    return mosquitto_reconnect_async(m_mosq);
}

// Once stopping, the loop goes on a little so that what was published last, and the
// disconnect after it, reach the broker. The disconnect waits for the broker's acknowledgements:
// a socket closed with one of them unread is reset, and the broker, dropping what it had not
// read yet, would take the disconnect for a lost client and send the last will.
int MosquittoClient::Session::loopUntilLost() {
    std::optional<std::chrono::steady_clock::time_point> flushedBy;
    bool disconnecting = false;
    int rc = MOSQ_ERR_SUCCESS;
    while (rc == MOSQ_ERR_SUCCESS) {
        if (m_stopping && !flushedBy) {
            flushedBy = std::chrono::steady_clock::now() + kFlushTime;
        }
        const bool late = flushedBy && std::chrono::steady_clock::now() > *flushedBy;
        if (flushedBy && !disconnecting && (m_unacknowledged <= 0 || late)) {
            disconnecting = true;
            mosquitto_disconnect(m_mosq);
        } else if (late) {
            break;
        }
        rc = mosquitto_loop(m_mosq, kLoopWaitMs, 1);
    }
    return rc;
}

void MosquittoClient::Session::pause() {
    std::unique_lock lock(m_mutex);
    m_wake.wait_for(lock, m_pause, [this] { return m_stopping.load(); });
    m_pause = std::min(m_pause * 2, std::chrono::seconds(kLongestPause));
}

void MosquittoClient::Session::finish() {
    std::unique_lock lock(m_mutex);
    if (m_abandoned) {
        lock.unlock();
        delete this;
        return;
    }
    m_finished = true;
    m_wake.notify_all();
}

bool MosquittoClient::Session::stop() {
    m_stopping = true;
    std::unique_lock lock(m_mutex);
    // Nothing the loop still hears reaches the starting thread once it stops.
    m_receiver.reset();
    m_wake.notify_all();
    if (!m_thread.joinable()) {
        return true;
    }
    if (m_wake.wait_for(lock, kStopWait, [this] { return m_finished; })) {
        lock.unlock();
        m_thread.join();
        return true;
    }
    // A name lookup can outlast any wait; the thread cleans up after itself when it ends.
    m_abandoned = true;
    m_thread.detach();
    return false;
}

void MosquittoClient::Session::post(std::function<void()> call) {
    std::lock_guard lock(m_mutex);
    if (m_receiver) {
        QMetaObject::invokeMethod(m_receiver.get(), std::move(call), Qt::QueuedConnection);
    }
}

void MosquittoClient::Session::onConnect(mosquitto* mosq, void* self, int rc) {
    auto* session = static_cast<Session*>(self);
    if (rc != 0) {
        session->m_refusal = QString::fromUtf8(mosquitto_connack_string(rc));
        return;
    }
    session->m_connectedAt = std::chrono::steady_clock::now();
    for (const QString& filter : session->m_connection.subscriptions) {
        mosquitto_subscribe(mosq, nullptr, filter.toUtf8().constData(), kQos);
    }
    session->post([session] { session->m_events.connected(); });
}

void MosquittoClient::Session::onMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* session = static_cast<Session*>(self);
    const QString topic = QString::fromUtf8(message->topic);
    const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
    const bool retained = message->retain;
    session->post([session, topic, payload, retained] {
        session->m_events.message(topic, payload, retained);
    });
}

void MosquittoClient::Session::onPublish(mosquitto*, void* self, int) {
    --static_cast<Session*>(self)->m_unacknowledged;
}

MosquittoClient::~MosquittoClient() {
    stop();
}

void MosquittoClient::start(const MqttConnection& connection, Events events) {
    stop();
    m_session = new Session(connection, std::move(events));
    m_session->start();
}

void MosquittoClient::publish(const QString& topic, const QByteArray& payload) {
    if (m_session) {
        m_session->publish(topic, payload);
    }
}

void MosquittoClient::stop() {
    Session* session = std::exchange(m_session, nullptr);
    if (session && session->stop()) {
        delete session;
    }
}

QString testMqttBroker(const MqttSettings& settings, int timeoutMs) {
    QString problem = mqttSettingsProblem(settings);
    if (!problem.isEmpty()) {
        return problem;
    }
    if (!settings.enabled()) {
        return QStringLiteral("No broker is set: the bridge is off.");
    }
    MqttConnection connection = MqttConnection::to(settings);
    // A client of its own, so the test does not push the running bridge off the broker.
    connection.clientId += QStringLiteral("-test");
    const QString where = settings.broker.trimmed();
    QString report =
        QStringLiteral("%1 did not answer within %2 seconds.").arg(where).arg(timeoutMs / 1000);
    QEventLoop loop;
    MosquittoClient client;
    client.start(connection,
                 {[&] {
                      report = QStringLiteral("Connected to %1.").arg(where);
                      loop.quit();
                  },
                  [&](const QString& reason) {
                      report = QStringLiteral("Could not connect to %1: %2").arg(where, reason);
                      loop.quit();
                  },
                  [](const QString&, const QByteArray&, bool) {}});
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    client.stop();
    return report;
}

}  // namespace kestrum
