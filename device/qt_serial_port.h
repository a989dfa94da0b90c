#pragma once

#include "core/serial_port.h"
#include "core/settings_store.h"

#include <QSerialPort>

namespace kestrum {

// The device that port number n stands for: key "Port n" of section "Pordid" when set, else
// the platform's n-th serial port (/dev/ttyS(n-1), COMn).
QString serialDeviceName(const SettingsStore& store, int n);

// The real serial port. The kernel raises DTR and RTS on every open; both are released at once
// and then set to the remembered levels, so the board sees what a closed port would have shown.
class QtSerialPort : public SerialPort {
public:
    explicit QtSerialPort(const SettingsStore& store);

    void setCommPort(int n) override { m_commPort = n; }
    int commPort() const override { return m_commPort; }
    bool open() override;
    void close() override;
    bool portOpen() const override { return m_port.isOpen(); }
    QString deviceName() const override { return serialDeviceName(m_store, m_commPort); }
    bool deviceNamed() const override;
    PortOpenError lastOpenError() const override { return m_lastOpenError; }
    void setDtrEnable(bool asserted) override;
    void setRtsEnable(bool asserted) override;
    bool cdHolding() const override;
    void output(const QByteArray& characters) override;

private:
    // Sets one line when its level differs from the one on the wire.
    void drive(QSerialPort::PinoutSignal line, bool asserted, bool& level);

    const SettingsStore& m_store;
    mutable QSerialPort m_port;
    PortOpenError m_lastOpenError;
    int m_commPort = 1;
    bool m_dtr = false;
    bool m_rts = false;
    // The levels on the wire while the port is open.
    bool m_lineDtr = false;
    bool m_lineRts = false;
};

}  // namespace kestrum
