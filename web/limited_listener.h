#pragma once

#include <QPointer>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <type_traits>
#include <vector>

namespace kestrum {

// Refuses a connection the listener accepted.
void closeSocketDescriptor(qintptr descriptor);

// Bounds what strangers can make the panel hold: connections beyond kMaxConnections are
// closed as they come, and a request that grows past the body limit plus its head is answered
// 413 and cut off before the HTTP server has buffered it whole.
template <class Base>
class LimitedListener : public Base {
public:
    static constexpr int kMaxConnections = 32;
    static constexpr qint64 kMaxHeadBytes = 16 * 1024;

    // tooLarge: the answer written before the connection is cut.
    LimitedListener(qint64 maxBodyBytes, QByteArray tooLarge)
        : m_maxRequestBytes(maxBodyBytes + kMaxHeadBytes), m_tooLarge(std::move(tooLarge)) {
        if constexpr (std::is_same_v<Base, QSslServer>) {
            QObject::connect(this, &QSslServer::startedEncryptionHandshake, this,
                             [this](QSslSocket* socket) { watch(socket); });
        }
    }

    // The HTTP server has taken a whole request from the socket: the next one counts afresh.
    static void requestTaken(QTcpSocket* socket) { socket->setProperty(kReceived, 0); }
    // The socket carries a WebSocket now, which may rightly stay quiet for long.
    static void upgraded(QTcpSocket* socket) { socket->setProperty(kUpgraded, true); }

protected:
    void incomingConnection(qintptr descriptor) override {
        std::erase_if(m_open, [](const QPointer<QTcpSocket>& socket) { return socket.isNull(); });
        if (static_cast<int>(m_open.size()) >= kMaxConnections) {
            closeSocketDescriptor(descriptor);
            return;
        }
        if constexpr (std::is_same_v<Base, QSslServer>) {
            Base::incomingConnection(descriptor);
        } else {
            auto* socket = new QTcpSocket(this);
            if (!socket->setSocketDescriptor(descriptor)) {
                delete socket;
                closeSocketDescriptor(descriptor);
                return;
            }
            watch(socket);
            this->addPendingConnection(socket);
        }
    }

private:
    // Connected before the HTTP server connects its own reader, so this sees the bytes first.
    // Tracked by pointer, not by signal: the WebSocket upgrade disconnects the socket's signals
    // but keeps the socket, which still holds a connection.
    void watch(QTcpSocket* socket) {
        m_open.emplace_back(socket);
        // A connection that sends nothing would hold its place among the few for ever.
        auto* idle = new QTimer(socket);
        idle->setSingleShot(true);
        QObject::connect(idle, &QTimer::timeout, socket, [socket] {
            if (!socket->property(kUpgraded).toBool()) {
                socket->abort();
            }
        });
        idle->start(kIdleMs);
        QObject::connect(socket, &QIODevice::readyRead, socket, [this, socket, idle] {
            idle->start(kIdleMs);
            if (socket->property(kRefused).toBool()) {
                socket->readAll();
                return;
            }
            const qint64 received =
                socket->property(kReceived).toLongLong() + socket->bytesAvailable();
            socket->setProperty(kReceived, received);
            if (received > m_maxRequestBytes) {
                refuse(socket);
            }
        });
    }

    // The rest of the request is read and dropped for a while rather than left unread: closing
    // with unread bytes resets the connection, and the client would never see the answer.
    void refuse(QTcpSocket* socket) {
        socket->setProperty(kRefused, true);
        socket->readAll();
        socket->write(m_tooLarge);
        QTimer::singleShot(kDrainMs, socket, [socket] { socket->abort(); });
    }

    static constexpr const char* kReceived = "kestrumReceivedBytes";
    static constexpr const char* kRefused = "kestrumRefused";
    static constexpr const char* kUpgraded = "kestrumUpgraded";
    static constexpr int kIdleMs = 60 * 1000;
    static constexpr int kDrainMs = 5000;

    qint64 m_maxRequestBytes;
    QByteArray m_tooLarge;
    std::vector<QPointer<QTcpSocket>> m_open;
};

}  // namespace kestrum
