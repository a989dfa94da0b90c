#pragma once

#include <QByteArray>
#include <QString>

namespace kestrum {

// Why the port could not be opened, in the terms the user can act on.
struct PortOpenError {
    QString reason;       // the driver's own words; empty when the last open succeeded
    QString accessGroup;  // the group whose members may use the device, when the lack of that
                          // membership refused the open; empty otherwise
};

// The serial port that the board hangs on, seen through its modem control lines only.
// Line levels written while the port is closed are remembered and take effect on opening.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Selects port number n (1..4) for the next open; an open port is not affected.
    virtual void setCommPort(int n) = 0;
    virtual int commPort() const = 0;
    // Opens the selected port with DTR and RTS at the levels last written; false leaves it
    // closed.
    virtual bool open() = 0;
    // Closes the port after every character written has left it; a closed port stays closed.
    virtual void close() = 0;
    virtual bool portOpen() const = 0;
    // The device the selected port stands for, as the user names it: "/dev/ttyUSB0".
    virtual QString deviceName() const = 0;
    // True when the user named the device of the selected port: no other port may stand in for
    // it, since another number is another device that may have something else on it.
    virtual bool deviceNamed() const = 0;
    // Why the last open failed; an empty reason after a successful one.
    virtual PortOpenError lastOpenError() const = 0;
    // Asserts (true) or releases (false) DTR, the data line into the board.
    virtual void setDtrEnable(bool asserted) = 0;
    // Asserts or releases RTS, the shift clock of both board registers.
    virtual void setRtsEnable(bool asserted) = 0;
    // The level of CD, the data line out of the board; false on a closed port.
    virtual bool cdHolding() const = 0;
    // Writes characters to the transmit line of the open port; a closed port ignores them.
    virtual void output(const QByteArray& characters) = 0;
};

}  // namespace kestrum
