#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <vector>

namespace kestrum::testing {

// The board behind a serial device name without hardware: a pseudo-terminal reached through a
// symlink, whose modem lines the shim linked into the test program (support/modem_lines_shim.h)
// answers as the board would.
class PtyBoard {
public:
    // Plugged in: a first pty behind the symlink, which the shim watches.
    PtyBoard();
    ~PtyBoard();
    PtyBoard(const PtyBoard&) = delete;
    PtyBoard& operator=(const PtyBoard&) = delete;

    // The name to configure as the port's device: the symlink.
    QString deviceName() const;

    // A new pty behind the symlink: the device is back, as a new device.
    void plugIn();
    // Closes the master and removes the symlink: the pty, its /dev/pts entry and the device
    // name go away, as a pulled-out adapter's do.
    void unplug();

    // The bytes that arrived at the master since the last call; waits for none.
    QByteArray takeSent();
    // The 16 levels the read register loads, in the order they are shifted out.
    void setReadRegister(const std::vector<bool>& levels);

private:
    QTemporaryDir m_folder;
    int m_master = -1;
};

}  // namespace kestrum::testing
