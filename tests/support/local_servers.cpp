#include "local_servers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include <stdexcept>

namespace kestrum::testing {

int listeningSocket(int& port) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, 8) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("a test server cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return listener;
}

int freePort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

bool eventually(const std::function<bool()>& condition) {
    const QDeadlineTimer deadline(15000);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

QByteArray runTool(const QString& program, const QStringList& arguments, const QString& folder,
                   bool errorExpected) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(30000);
    if (!finished || (process.exitCode() != 0 && !errorExpected)) {
        throw std::runtime_error(QStringLiteral("%1 %2 failed: %3")
                                     .arg(program, arguments.join(QLatin1Char(' ')),
                                          QString::fromLocal8Bit(process.readAllStandardError()))
                                     .toStdString());
    }
    return process.readAllStandardOutput();
}

void waitUntilListening(QProcess& server, const QList<int>& ports, const QString& logFile) {
    const auto listening = [&] {
        return std::all_of(ports.begin(), ports.end(), [](int port) {
            QTcpSocket socket;
            socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
            return socket.waitForConnected(200);
        });
    };
    for (int attempt = 0; attempt < 100 && !listening(); ++attempt) {
        if (server.state() == QProcess::NotRunning) {
            break;
        }
        QThread::msleep(50);
    }
    if (!listening()) {
        QFile log(logFile);
        const QByteArray logged = log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        throw std::runtime_error(server.program().toStdString() + " did not start: " +
                                 server.readAll().toStdString() + logged.toStdString());
    }
}

void stopServer(std::unique_ptr<QProcess>& process) {
    if (process && process->state() != QProcess::NotRunning) {
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished(2000);
        }
    }
}

void makeTestCertificates(const QString& folder) {
    const auto openssl = [&](const QString& arguments) {
        runTool(QStringLiteral("openssl"), arguments.split(QLatin1Char(' ')), folder);
    };
    const QString key = QStringLiteral("-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes");
    openssl(QStringLiteral("req -x509 %1 -keyout ca.key -out ca.crt -days 2 "
                           "-subj /CN=Kestrum-test-authority "
                           "-addext basicConstraints=critical,CA:TRUE "
                           "-addext keyUsage=critical,keyCertSign,cRLSign")
                .arg(key));
    openssl(
        QStringLiteral("req %1 -keyout server.key -out server.csr -subj /CN=127.0.0.1").arg(key));
    QFile extensions(folder + QStringLiteral("/server.ext"));
    if (!extensions.open(QIODevice::WriteOnly) ||
        extensions.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n"
                         "basicConstraints=CA:FALSE\n"
                         "keyUsage=digitalSignature,keyEncipherment\n"
                         "extendedKeyUsage=serverAuth\n") < 0) {
        throw std::runtime_error("cannot write the certificate's extensions");
    }
    extensions.close();
    openssl(
        QStringLiteral("x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial "
                       "-out server.crt -days 2 -extfile server.ext"));
}

}  // namespace kestrum::testing
