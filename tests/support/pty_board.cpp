#include "pty_board.h"

#include "support/modem_lines_shim.h"

#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>

namespace kestrum::testing {

PtyBoard::PtyBoard() {
    modem_lines::attach(QFile::encodeName(deviceName()).constData());
    plugIn();
}

PtyBoard::~PtyBoard() {
    unplug();
}

QString PtyBoard::deviceName() const {
    return m_folder.filePath(QStringLiteral("port"));
}

void PtyBoard::plugIn() {
    unplug();
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(m_master, 0) << "no pseudo-terminal";
    std::array<char, 64> slave{};
    ASSERT_EQ(grantpt(m_master), 0);
    ASSERT_EQ(unlockpt(m_master), 0);
    ASSERT_EQ(ptsname_r(m_master, slave.data(), slave.size()), 0);
    ASSERT_EQ(fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK), 0);
    ASSERT_TRUE(QFile::link(QString::fromLocal8Bit(slave.data()), deviceName()));
}

void PtyBoard::unplug() {
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
    // The name goes too: pty numbers are reused, and a dangling link could find another
    // process's new pty under the old number.
    QFile::remove(deviceName());
}

QByteArray PtyBoard::takeSent() {
    QByteArray sent;
    std::array<char, 256> buffer{};
    ssize_t length = 0;
    while ((length = ::read(m_master, buffer.data(), buffer.size())) > 0) {
        sent.append(buffer.data(), length);
    }
    return sent;
}

void PtyBoard::setReadRegister(const std::vector<bool>& levels) {
    modem_lines::setReadRegister(levels);
}

}  // namespace kestrum::testing
