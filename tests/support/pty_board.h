#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <ostream>
#include <vector>

namespace kestrum::testing {

// The board behind a serial device name without hardware: a pseudo-terminal reached through a
// symlink, whose modem lines the shim linked into the test program (device/modem_lines_shim.h)
// answers as the board would.
class PtyBoard {
public:
    // One change of the lines as the shim records it: "open" (the kernel raised both), "close"
    // (the last descriptor went and released both) or "lines" (the program set them).
    struct LineRecord {
        QString event;
        bool dtr = false;
        bool rts = false;
        friend bool operator==(const LineRecord&, const LineRecord&) = default;
    };

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
    std::vector<LineRecord> records() const;

private:
    QTemporaryDir m_folder;
    int m_master = -1;
};

void PrintTo(const PtyBoard::LineRecord& record, std::ostream* out);

}  // namespace kestrum::testing
