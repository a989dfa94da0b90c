#pragma once

#include "control/output_control.h"
#include "core/state.h"
#include "core/timers.h"
#include "device/board_link.h"

namespace kestrum {

// Outputs in strobe mode blink by their own timers, on for StroboSees and off for
// StroboValjas milliseconds. The blinking is not stored and not logged.
class Strobe {
public:
    Strobe(State& state, OutputControl& outputs, BoardLink& board, Timers& timers);

    void StroboTaimer_Timer(int index);

private:
    State& m_state;
    OutputControl& m_outputs;
    BoardLink& m_board;
    Timers& m_timers;
};

}  // namespace kestrum
