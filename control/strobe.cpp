#include "strobe.h"

namespace kestrum {

Strobe::Strobe(State& state, OutputControl& outputs, BoardLink& board, Timers& timers)
    : m_state(state), m_outputs(outputs), m_board(board), m_timers(timers) {
    for (int index = 0; index < 8; ++index) {
        m_timers.StroboTaimer[index]->setOnTick([this, index] { StroboTaimer_Timer(index); });
    }
}

void Strobe::StroboTaimer_Timer(int index) {
    const int k = index + 1;
    if (!(m_state.Mode[k] == 1)) {
        return;
    }
    const bool wasOn = m_state.Valjundid[k] == 1;
    if (!wasOn && !(m_state.Valjundid[k] == 0)) {
        return;
    }
    m_outputs.setWanted(k, wasOn ? 0 : 1);
    m_board.shiftStrobeToggle();
    const Value& next = wasOn ? m_state.StroboValjas[k] : m_state.StroboSees[k];
    m_timers.StroboTaimer[index]->setInterval(next.toInt());
}

}  // namespace kestrum
