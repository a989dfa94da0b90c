#include "mosquitto_broker.h"

#include "support/local_servers.h"

#include <QFile>
#include <QThread>

#include <stdexcept>

namespace kestrum::testing {

namespace {

QByteArray run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) {
        throw std::runtime_error(program.toStdString() + " did not finish");
    }
    return process.readAllStandardOutput();
}

}  // namespace

// Run as root the broker would give up its rights before reading its key in the test's
// private folder; "user root" keeps them.
MosquittoBroker::MosquittoBroker() : m_port(freePort()), m_tlsPort(freePort()) {
    const QString key = m_dir.filePath(QStringLiteral("broker.key"));
    run(QStringLiteral("openssl"),
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
         QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
         QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
         QStringLiteral("-keyout"), key, QStringLiteral("-out"), certificateFile(),
         QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
         QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
         QStringLiteral("subjectAltName=IP:127.0.0.1")});
    QFile config(m_dir.filePath(QStringLiteral("mosquitto.conf")));
    config.open(QIODevice::WriteOnly);
    config.write(QStringLiteral("user root\nallow_anonymous true\npersistence false\n"
                                "listener %1 127.0.0.1\n"
                                "listener %2 127.0.0.1\ncertfile %3\nkeyfile %4\n")
                     .arg(m_port)
                     .arg(m_tlsPort)
                     .arg(certificateFile(), key)
                     .toUtf8());
    config.close();
    start();
}

QString MosquittoBroker::certificateFile() const {
    return m_dir.filePath(QStringLiteral("broker.crt"));
}

MosquittoBroker::~MosquittoBroker() {
    stop();
}

void MosquittoBroker::start() {
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->start(QStringLiteral("/usr/sbin/mosquitto"),
                     {QStringLiteral("-c"), m_dir.filePath(QStringLiteral("mosquitto.conf"))});
    for (int attempt = 0; attempt < 100 && !(accepts(m_port) && accepts(m_tlsPort)); ++attempt) {
        if (m_process->state() == QProcess::NotRunning) {
            break;
        }
        QThread::msleep(50);
    }
    if (!accepts(m_port) || !accepts(m_tlsPort)) {
        throw std::runtime_error("mosquitto did not start: " + m_process->readAll().toStdString());
    }
}

void MosquittoBroker::stop() {
    stopServer(m_process);
}

// Only retained messages arrive before the first live one, and none comes without a publisher:
// the client ends after a second of silence.
QMap<QString, QByteArray> MosquittoBroker::retained(const QStringList& filters) const {
    QStringList arguments = {
        QStringLiteral("-p"), QString::number(m_port), QStringLiteral("--retained-only"),
        QStringLiteral("-W"), QStringLiteral("1"),     QStringLiteral("-v")};
    for (const QString& filter : filters) {
        arguments << QStringLiteral("-t") << filter;
    }
    QMap<QString, QByteArray> messages;
    for (const QByteArray& line : run(QStringLiteral("mosquitto_sub"), arguments).split('\n')) {
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
    run(QStringLiteral("mosquitto_pub"), arguments);
}

}  // namespace kestrum::testing
