#pragma once

#include <QProcess>
#include <QString>

#include <memory>

namespace kestrum::testing {

// A port on 127.0.0.1 that nothing listens on at the moment of the call.
int freePort();
// True once something accepts connections on the 127.0.0.1 port.
bool accepts(int port);
// Ends a server started by a test: politely, then for sure.
void stopServer(std::unique_ptr<QProcess>& process);

}  // namespace kestrum::testing
