#pragma once

#include "core/serial_port.h"
#include "core/timer.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <set>

namespace kestrum {

// The switch box on a serial port, modelled at its registers so that tests and the demo mode
// exercise the real wire format: an 8-bit output register clocked by RTS with data on DTR and
// latched by any character on TXD, and a 16-bit read register that loads while DTR is released
// and shifts out on CD while DTR is asserted.
class SimulatedBoard : public SerialPort {
public:
    enum class Fault { None, StuckOff, StuckOn };

    struct Event {
        enum class Kind {
            Open,
            OpenFailed,
            Close,
            Dtr,           // level: the new DTR level
            Rts,           // level: the new RTS level
            Sample,        // level: CD as read
            Character,     // character: the byte written
            Relays,        // relays: the latched outputs, bit k - 1 for output k
            ClosedPortUse  // a line, sample or character on a closed port: this program never
                           // needs one, so tests treat it as a fault
        };
        Kind kind;
        bool level = false;
        char character = 0;
        std::uint8_t relays = 0;
        qint64 atMs = 0;
    };

    explicit SimulatedBoard(const Clock& clock);

    void setCommPort(int n) override { m_commPort = n; }
    int commPort() const override { return m_commPort; }
    bool open() override;
    void close() override;
    bool portOpen() const override { return m_open; }
    QString deviceName() const override;
    bool deviceNamed() const override { return false; }
    PortOpenError lastOpenError() const override { return m_lastOpenError; }
    void setDtrEnable(bool asserted) override;
    void setRtsEnable(bool asserted) override;
    bool cdHolding() const override;
    void output(const QByteArray& characters) override;

    // A port number that cannot be opened, like a missing port or one held by another program.
    void setPortAvailable(int port, bool available);
    void setInput(int input, bool active);
    void setFault(int output, Fault fault);

    bool relay(int output) const { return (m_relays >> (output - 1)) & 1U; }
    bool input(int input) const { return m_inputs.at(static_cast<std::size_t>(input - 1)); }
    Fault fault(int output) const { return m_faults.at(static_cast<std::size_t>(output - 1)); }
    bool readBack(int output) const;

    // Called after each latch of the relays.
    void setOnRelaysLatched(std::function<void()> listener) {
        m_onRelaysLatched = std::move(listener);
    }

    // The board runs for as long as the program does, so only the latest events are kept:
    // enough for any sequence a test checks, bounded for the demo left running for days.
    static constexpr std::size_t kHistoryLimit = 4096;

    // The latest events, oldest first, at most kHistoryLimit of them.
    const std::deque<Event>& history() const { return m_history; }
    void clearHistory() { m_history.clear(); }

private:
    void record(Event::Kind kind, bool level = false) const;
    void record(const Event& event) const;
    void driveLines(bool dtr, bool rts);
    std::array<bool, 16> parallelLoad() const;

    const Clock& m_clock;
    int m_commPort = 1;
    bool m_open = false;
    PortOpenError m_lastOpenError;
    bool m_dtrWritten = false;
    bool m_rtsWritten = false;
    bool m_dtrLine = false;  // the levels the board sees: released while the port is closed
    bool m_rtsLine = false;
    std::uint8_t m_outputRegister = 0;
    std::uint8_t m_relays = 0;
    std::array<bool, 16> m_readRegister{};
    std::array<bool, 8> m_inputs{};
    std::array<Fault, 8> m_faults{};
    std::set<int> m_unavailablePorts;
    mutable std::deque<Event> m_history;
    std::function<void()> m_onRelaysLatched;
};

}  // namespace kestrum
