#pragma once

#include <QString>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace kestrum::testing {

// A serial device with nothing behind it: it opens, and that is all a port test asks.
class BareTerminal {
public:
    BareTerminal() : m_master(posix_openpt(O_RDWR | O_NOCTTY)) {
        grantpt(m_master);
        unlockpt(m_master);
    }
    ~BareTerminal() { ::close(m_master); }
    BareTerminal(const BareTerminal&) = delete;
    BareTerminal& operator=(const BareTerminal&) = delete;

    QString deviceName() const { return QString::fromLocal8Bit(ptsname(m_master)); }

private:
    int m_master;
};

}  // namespace kestrum::testing
