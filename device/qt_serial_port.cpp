#include "qt_serial_port.h"

#include "core/settings_keys.h"

#ifdef Q_OS_UNIX
#include <QFileInfo>

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
    m_port.setDataTerminalReady(false);
    m_port.setRequestToSend(false);
    m_port.setDataTerminalReady(m_dtr);
    m_port.setRequestToSend(m_rts);
    return true;
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
        m_port.setDataTerminalReady(asserted);
    }
}

void QtSerialPort::setRtsEnable(bool asserted) {
    m_rts = asserted;
    if (m_port.isOpen()) {
        m_port.setRequestToSend(asserted);
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
