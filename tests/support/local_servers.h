#pragma once

#include <QList>
#include <QProcess>
#include <QString>

#include <functional>
#include <memory>

namespace kestrum::testing {

// A port on 127.0.0.1 that nothing listens on at the moment of the call.
int freePort();
// A socket listening on a free 127.0.0.1 port, for a server run on a thread of its own; throws
// std::runtime_error when it cannot listen.
int listeningSocket(int& port);
// Runs the test's thread until the condition holds, as the event loop would; false when it
// still does not after 15 s.
bool eventually(const std::function<bool()>& condition);
// Runs a tool to its end and returns what it wrote to its standard output; throws
// std::runtime_error saying why when it does not end, or ends with an error unless told that
// such an end is expected.
QByteArray runTool(const QString& program, const QStringList& arguments,
                   const QString& folder = QString(), bool errorExpected = false);
// Waits until the server accepts on every port; throws with its output (and its log file, when
// it has one) when it does not.
void waitUntilListening(QProcess& server, const QList<int>& ports,
                        const QString& logFile = QString());
// Ends a server started by a test: terminated, then killed when it does not end.
void stopServer(std::unique_ptr<QProcess>& process);
// Writes a certificate authority made for this run (ca.crt) and a certificate it signed for
// 127.0.0.1 (server.crt with server.key) into the folder. No system trusts the authority.
void makeTestCertificates(const QString& folder);

}  // namespace kestrum::testing
