#include "mosquitto_broker.h"

#include "support/local_servers.h"

#include <QFile>

namespace kestrum::testing {

// Run as root the broker would give up its rights before reading its key in the test's
// private folder; "user root" keeps them.
MosquittoBroker::MosquittoBroker() : m_port(freePort()), m_tlsPort(freePort()) {
    makeTestCertificates(m_dir.path());
    QFile config(m_dir.filePath(QStringLiteral("mosquitto.conf")));
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral("user root\nallow_anonymous true\npersistence false\n"
                                "listener %1 127.0.0.1\n"
                                "listener %2 127.0.0.1\ncertfile %3\nkeyfile %4\n")
                     .arg(m_port)
                     .arg(m_tlsPort)
                     .arg(m_dir.filePath(QStringLiteral("server.crt")),
                          m_dir.filePath(QStringLiteral("server.key")))
                     .toUtf8());
    config.close();
    start();
}

QString MosquittoBroker::caFile() const {
    return m_dir.filePath(QStringLiteral("ca.crt"));
}

MosquittoBroker::~MosquittoBroker() {
    stop();
}

void MosquittoBroker::start() {
    m_output.clear();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->start(QStringLiteral("/usr/sbin/mosquitto"),
                     {QStringLiteral("-c"), m_dir.filePath(QStringLiteral("mosquitto.conf"))});
    waitUntilListening(*m_process, {m_port, m_tlsPort});
}

int MosquittoBroker::connections(const QString& clientId) {
    m_output += m_process->readAll();
    return static_cast<int>(m_output.count(" as " + clientId.toUtf8() + " "));
}

void MosquittoBroker::stop() {
    stopServer(m_process);
}

// Only retained messages arrive before the first live one, and none comes without a publisher:
// the client ends after a second of silence, which it counts as an error.
QMap<QString, QByteArray> MosquittoBroker::retained(const QStringList& filters) const {
    QStringList arguments = {
        QStringLiteral("-p"), QString::number(m_port), QStringLiteral("--retained-only"),
        QStringLiteral("-W"), QStringLiteral("1"),     QStringLiteral("-v")};
    for (const QString& filter : filters) {
        arguments << QStringLiteral("-t") << filter;
    }
    QMap<QString, QByteArray> messages;
    for (const QByteArray& line :
         runTool(QStringLiteral("mosquitto_sub"), arguments, QString(), true).split('\n')) {
        const int space = line.indexOf(' ');
        if (space > 0) {
            messages.insert(QString::fromUtf8(line.left(space)), line.mid(space + 1));
        }
    }
    return messages;
}

void MosquittoBroker::publish(const QString& topic, const QByteArray& payload, bool retain) const {
    QStringList arguments = {QStringLiteral("-p"), QString::number(m_port),
                             QStringLiteral("-t"), topic,
                             QStringLiteral("-m"), QString::fromUtf8(payload)};
    if (retain) {
        arguments << QStringLiteral("-r");
    }
    runTool(QStringLiteral("mosquitto_pub"), arguments);
}

}  // namespace kestrum::testing
