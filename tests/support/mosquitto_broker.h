#pragma once

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace kestrum::testing {

// A Mosquitto broker on free 127.0.0.1 ports, plain and TLS, anonymous and without persistence,
// so a restart forgets every retained message. Its certificate, for 127.0.0.1, is signed by an
// authority made for the run (caFile()) that no system trusts. The command-line clients stand in
// for a home automation hub.
class MosquittoBroker {
public:
    // Throws std::runtime_error when it does not start.
    MosquittoBroker();
    ~MosquittoBroker();

    void start();
    void stop();

    QString url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_port); }
    QString tlsUrl() const { return QStringLiteral("mqtts://127.0.0.1:%1").arg(m_tlsPort); }
    QString caFile() const;

    // The retained messages under the topic filters, by topic.
    QMap<QString, QByteArray> retained(const QStringList& filters) const;
    void publish(const QString& topic, const QByteArray& payload, bool retain = false) const;
    // How many times a client with the id has connected since the broker started.
    int connections(const QString& clientId);

private:
    QTemporaryDir m_dir;
    int m_port;
    int m_tlsPort;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_output;  // what the broker logged, as far as it was read
};

}  // namespace kestrum::testing
