#pragma once

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace kestrum::testing {

// A Mosquitto broker on a free 127.0.0.1 port, anonymous and without persistence, so a restart
// forgets every retained message. The command-line clients stand in for a home automation hub.
class MosquittoBroker {
public:
    // Throws std::runtime_error when it does not start.
    MosquittoBroker();
    ~MosquittoBroker();

    void start();
    void stop();

    int port() const { return m_port; }
    QString url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_port); }

    // The retained messages under the topic filters, by topic.
    QMap<QString, QByteArray> retained(const QStringList& filters) const;
    void publish(const QString& topic, const QByteArray& payload, bool retain = false) const;

private:
    QTemporaryDir m_dir;
    int m_port;
    std::unique_ptr<QProcess> m_process;
};

}  // namespace kestrum::testing
