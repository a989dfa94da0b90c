#pragma once

#include "core/panel.h"
#include "core/port_choice.h"
#include "core/serial_port.h"
#include "core/state.h"
#include "core/timer.h"

#include <functional>

namespace kestrum {

// The wire format over the port's control lines: the shift of the wanted output states to the
// board, and the board scan every 100 ms that reads the 16 levels back.
class BoardLink {
public:
    BoardLink(State& state, Panel& panel, SerialPort& port, Timer& eventTimer, Timer& timer3);

    // Called inside each scan once the 16 levels are in ReadBack, while the port is still open:
    // input-change handling and output supervision.
    void setFrameEvaluation(std::function<void()> evaluate) {
        m_evaluateFrame = std::move(evaluate);
    }

    // Writes the wanted states to the board and latches them; clears every failure flag, so a
    // failure that persists is announced again: each command deserves its own answer.
    void ShiftOutputs();
    // The same shift for a strobe toggle, which is no new command: a failure already announced
    // stays announced, or a persisting one would be logged and mailed at every toggle.
    void shiftStrobeToggle();
    // Opens the port; when it does not open, another serves this run (PortChoice).
    bool openWithFallback();
    // Latches every output off, on the port as it stands, leaving the failure flags alone.
    void writeAllOff();
    void EventTimer_Timer();
    void Timer3_Timer();

    static constexpr int kScanPeriodMs = 100;
    static constexpr int kSettleWaitMs = 10;

private:
    void shift(bool rearmAnnouncements);
    void BoardScan();
    bool writeFrame(const std::function<bool(int)>& isOn);
    void readFrame();
    void finishScan();
    bool openPort();
    void pulseClock();

    State& m_state;
    Panel& m_panel;
    SerialPort& m_port;
    PortChoice m_portChoice;
    Timer& m_eventTimer;
    Timer& m_timer3;
    std::function<void()> m_evaluateFrame;
};

}  // namespace kestrum
