#include "simulated_board.h"

namespace kestrum {

SimulatedBoard::SimulatedBoard(const Clock& clock) : m_clock(clock) {}

void SimulatedBoard::record(Event::Kind kind, bool level) const {
    record(Event{kind, level, 0, 0, m_clock.monotonicMs()});
}

void SimulatedBoard::record(const Event& event) const {
    m_history.push_back(event);
    if (m_history.size() > kHistoryLimit) {
        m_history.pop_front();
    }
}

bool SimulatedBoard::open() {
    if (m_open) {
        return true;
    }
    if (m_unavailablePorts.count(m_commPort) != 0) {
        m_lastOpenError.reason = QStringLiteral("the port is not available");
        record(Event::Kind::OpenFailed);
        return false;
    }
    m_lastOpenError = {};
    m_open = true;
    record(Event::Kind::Open);
    driveLines(m_dtrWritten, m_rtsWritten);
    return true;
}

QString SimulatedBoard::deviceName() const {
    return QStringLiteral("simulated board, port %1").arg(m_commPort);
}

void SimulatedBoard::close() {
    if (!m_open) {
        return;
    }
    driveLines(false, false);
    m_open = false;
    record(Event::Kind::Close);
}

void SimulatedBoard::setDtrEnable(bool asserted) {
    m_dtrWritten = asserted;
    if (!m_open) {
        record(Event::Kind::ClosedPortUse);
        return;
    }
    record(Event::Kind::Dtr, asserted);
    driveLines(asserted, m_rtsLine);
}

void SimulatedBoard::setRtsEnable(bool asserted) {
    m_rtsWritten = asserted;
    if (!m_open) {
        record(Event::Kind::ClosedPortUse);
        return;
    }
    record(Event::Kind::Rts, asserted);
    driveLines(m_dtrLine, asserted);
}

void SimulatedBoard::driveLines(bool dtr, bool rts) {
    if (dtr && !m_dtrLine) {
        m_readRegister = parallelLoad();  // asserting DTR ends the parallel load
    }
    const bool risingClock = rts && !m_rtsLine;
    m_dtrLine = dtr;
    m_rtsLine = rts;
    if (!risingClock) {
        return;
    }
    m_outputRegister = static_cast<std::uint8_t>((m_outputRegister << 1) | (dtr ? 1U : 0U));
    if (dtr) {
        for (std::size_t i = 0; i + 1 < m_readRegister.size(); ++i) {
            m_readRegister[i] = m_readRegister[i + 1];
        }
        m_readRegister.back() = false;
    }
}

std::array<bool, 16> SimulatedBoard::parallelLoad() const {
    std::array<bool, 16> loaded{};
    for (int k = 1; k <= 8; ++k) {
        loaded[static_cast<std::size_t>(8 - k)] = input(k);
        loaded[static_cast<std::size_t>(16 - k)] = readBack(k);
    }
    return loaded;
}

bool SimulatedBoard::cdHolding() const {
    if (!m_open) {
        record(Event::Kind::ClosedPortUse);
        return false;
    }
    const bool level = m_dtrLine ? m_readRegister.front() : parallelLoad().front();
    record(Event::Kind::Sample, level);
    return level;
}

void SimulatedBoard::output(const QByteArray& characters) {
    if (!m_open) {
        record(Event::Kind::ClosedPortUse);
        return;
    }
    for (const char character : characters) {
        record(Event{Event::Kind::Character, false, character, 0, m_clock.monotonicMs()});
        m_relays = m_outputRegister;
        record(Event{Event::Kind::Relays, false, 0, m_relays, m_clock.monotonicMs()});
    }
    if (m_onRelaysLatched) {
        m_onRelaysLatched();
    }
}

void SimulatedBoard::setPortAvailable(int port, bool available) {
    if (available) {
        m_unavailablePorts.erase(port);
    } else {
        m_unavailablePorts.insert(port);
    }
}

void SimulatedBoard::setInput(int input, bool active) {
    m_inputs.at(static_cast<std::size_t>(input - 1)) = active;
}

void SimulatedBoard::setFault(int output, Fault fault) {
    m_faults.at(static_cast<std::size_t>(output - 1)) = fault;
}

bool SimulatedBoard::readBack(int output) const {
    switch (fault(output)) {
        case Fault::StuckOff:
            return false;
        case Fault::StuckOn:
            return true;
        case Fault::None:
            break;
    }
    return relay(output);
}

}  // namespace kestrum
