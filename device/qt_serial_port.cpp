#include "qt_serial_port.h"

#include "core/settings_keys.h"

#ifdef Q_OS_UNIX
#include <QFileInfo>

#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace kestrum {

namespace {
// The strobe character takes about a millisecond at 9600 baud; this only bounds a stuck driver.
constexpr int kWriteLimitMs = 1000;

QString namedDevice(const SettingsStore& store, int n) {
    return store.read(sections::Pordid.section, sections::Pordid.key(n));
}

#ifdef Q_OS_UNIX
// The group that grants access to the device, when this user lacks it. A device the user may
// read and write was refused for another reason, such as a lock held by another program.
QString groupLackedFor(const QString& device) {
    const QFileInfo file(device.startsWith(QLatin1Char('/')) ? device
                                                             : QStringLiteral("/dev/") + device);
    if (file.isReadable() && file.isWritable()) {
        return {};
    }
    const QString group = file.group();
    return group.isEmpty() ? QStringLiteral("dialout") : group;
}
#endif
}  // namespace

QString serialDeviceName(const SettingsStore& store, int n) {
    const QString configured = namedDevice(store, n);
    if (!configured.isEmpty()) {
        return configured;
    }
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}

QtSerialPort::QtSerialPort(const SettingsStore& store) : m_store(store) {}

bool QtSerialPort::deviceNamed() const {
    return !namedDevice(m_store, m_commPort).isEmpty();
}

bool QtSerialPort::open() {
    if (m_port.isOpen()) {
        return true;
    }
    const QString device = deviceName();
    m_port.setPortName(device);
    m_lastOpenError = {};
    if (!m_port.open(QIODevice::ReadWrite)) {
        m_lastOpenError.reason = m_port.errorString();
#ifdef Q_OS_UNIX
        if (m_port.error() == QSerialPort::PermissionError) {
            m_lastOpenError.accessGroup = groupLackedFor(device);
        }
#endif
        return false;
    }
    // The kernel raised both lines, and that RTS edge with DTR asserted clocked the board's read
    // register. Releasing both before the levels last written go out lets the board see them
    // arrive from released, as from a closed port: a DTR left asserted by the last shift would
    // otherwise hold the shifted register and the next read would be one level off.
    const QSerialPort::PinoutSignals levels = m_port.pinoutSignals();
    m_lineDtr = levels.testFlag(QSerialPort::DataTerminalReadySignal);
    m_lineRts = levels.testFlag(QSerialPort::RequestToSendSignal);
    drive(QSerialPort::DataTerminalReadySignal, false, m_lineDtr);
    drive(QSerialPort::RequestToSendSignal, false, m_lineRts);
    drive(QSerialPort::DataTerminalReadySignal, m_dtr, m_lineDtr);
    drive(QSerialPort::RequestToSendSignal, m_rts, m_lineRts);
    return true;
}

// One call per change of a line. QSerialPort reads the pins before each write, and on a USB
// adapter every modem-line call is a transfer of its own, made while the board's lines wait.
void QtSerialPort::drive(QSerialPort::PinoutSignal line, bool asserted, bool& level) {
    if (level == asserted) {
        return;
    }
#ifdef Q_OS_UNIX
    int bits = line == QSerialPort::DataTerminalReadySignal ? TIOCM_DTR : TIOCM_RTS;
    if (::ioctl(static_cast<int>(m_port.handle()), asserted ? TIOCMBIS : TIOCMBIC, &bits) != 0) {
        return;
    }
#else
    if (line == QSerialPort::DataTerminalReadySignal) {
        m_port.setDataTerminalReady(asserted);
    } else {
        m_port.setRequestToSend(asserted);
    }
#endif
    level = asserted;
}

void QtSerialPort::close() {
    if (!m_port.isOpen()) {
        return;
    }
    // The board latches on the strobe character: it must have left the line before closing.
    while (m_port.bytesToWrite() > 0 && m_port.waitForBytesWritten(kWriteLimitMs)) {
    }
#ifdef Q_OS_UNIX
    tcdrain(static_cast<int>(m_port.handle()));
#endif
    m_port.close();
}

void QtSerialPort::setDtrEnable(bool asserted) {
    m_dtr = asserted;
    if (m_port.isOpen()) {
        drive(QSerialPort::DataTerminalReadySignal, asserted, m_lineDtr);
    }
}

void QtSerialPort::setRtsEnable(bool asserted) {
    m_rts = asserted;
    if (m_port.isOpen()) {
        drive(QSerialPort::RequestToSendSignal, asserted, m_lineRts);
    }
}

bool QtSerialPort::cdHolding() const {
    return m_port.isOpen() && (m_port.pinoutSignals() & QSerialPort::DataCarrierDetectSignal) != 0;
}

void QtSerialPort::output(const QByteArray& characters) {
    if (m_port.isOpen()) {
        m_port.write(characters);
    }
}

}  // namespace kestrum
