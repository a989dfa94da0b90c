#include "board_link.h"

#include "device/logging.h"
#include "device/port_error_text.h"

namespace kestrum {

namespace {
const QByteArray kStrobeCharacter = QByteArrayLiteral("a");
}  // namespace

BoardLink::BoardLink(State& state, Panel& panel, SerialPort& port, Timer& eventTimer, Timer& timer3)
    : m_state(state),
      m_panel(panel),
      m_port(port),
      m_portChoice(port, panel),
      m_eventTimer(eventTimer),
      m_timer3(timer3) {
    m_eventTimer.setOnTick([this] { EventTimer_Timer(); });
    m_timer3.setOnTick([this] { Timer3_Timer(); });
}

// A port that cannot be opened skips the operation; the port label carries the error until an
// open succeeds again. Scans retry every period, so only a change of the error is reported.
bool BoardLink::openPort() {
    const bool opened = m_port.open();
    if (!opened) {
        m_state.BoardRead = 0;
    }
    const QString errorText =
        opened ? QString() : portOpenErrorText(m_port.deviceName(), m_port.lastOpenError());
    if (m_panel.portErrorText != errorText) {
        if (!opened) {
            qCWarning(lcDevice).noquote() << errorText;
        }
        m_panel.portErrorText = errorText;
        m_panel.changed();
    }
    return opened;
}

bool BoardLink::openWithFallback() {
    return m_portChoice.openWithFallback([this] { return openPort(); });
}

void BoardLink::pulseClock() {
    m_port.setRtsEnable(true);
    m_port.setRtsEnable(false);
}

bool BoardLink::writeFrame(const std::function<bool(int)>& isOn) {
    if (!m_port.portOpen() && !openPort()) {
        return false;
    }
    for (int i = 8; i >= 1; --i) {
        m_port.setDtrEnable(isOn(i));
        pulseClock();
    }
    m_port.output(kStrobeCharacter);
    m_port.close();
    return true;
}

void BoardLink::ShiftOutputs() {
    shift(true);
}

void BoardLink::shiftStrobeToggle() {
    shift(false);
}

void BoardLink::shift(bool rearmAnnouncements) {
    if (!writeFrame([this](int i) { return m_state.Valjundid[i] == 1; })) {
        return;
    }
    for (int i = 1; i <= 8; ++i) {
        m_state.OutputFailed[i] = 0;
        if (rearmAnnouncements) {
            m_state.FailureAnnounced[i] = 0;
        }
    }
}

void BoardLink::writeAllOff() {
    writeFrame([](int) { return false; });
}

void BoardLink::EventTimer_Timer() {
    m_eventTimer.setEnabled(false);
    BoardScan();
}

void BoardLink::BoardScan() {
    if (m_port.portOpen()) {
        m_eventTimer.setInterval(kScanPeriodMs);
        m_eventTimer.setEnabled(true);
        return;
    }
    if (!openPort()) {
        finishScan();
        return;
    }
    // The board settles while other events run; the scan goes on in Timer3_Timer.
    m_state.SettleWaitDone = 0;
    m_timer3.setInterval(kSettleWaitMs);
    m_timer3.setEnabled(true);
}

void BoardLink::Timer3_Timer() {
    m_state.SettleWaitDone = 1;
    m_timer3.setEnabled(false);
    // A shift during the settle wait closed the port under the scan.
    if (m_port.portOpen() || openPort()) {
        readFrame();
    }
    finishScan();
}

void BoardLink::readFrame() {
    m_port.setDtrEnable(true);
    m_port.setRtsEnable(false);
    for (int n = 16; n >= 1; --n) {
        m_state.ReadBack[n] = m_port.cdHolding() ? 1 : 0;
        pulseClock();
    }
    m_port.setDtrEnable(false);
    m_state.BoardRead = 1;
    for (int k = 1; k <= 8; ++k) {
        m_panel.inputs[k - 1].lampLit = m_state.ReadBack[k + 8] == 1;
    }
    m_panel.changed();
    if (m_evaluateFrame) {
        m_evaluateFrame();
    }
}

void BoardLink::finishScan() {
    m_state.SettleWaitDone = 0;
    m_eventTimer.setInterval(kScanPeriodMs);
    m_eventTimer.setEnabled(true);
    m_port.close();
}

}  // namespace kestrum
