#pragma once

#include "core/panel.h"
#include "core/settings_store.h"
#include "core/state.h"
#include "core/timers.h"
#include "core/ui.h"
#include "device/board_link.h"

namespace kestrum {

// The wanted states of the outputs: switching them by hand, handing them to the schedule,
// all off at once, and keeping them across restarts.
class OutputControl {
public:
    OutputControl(State& state, Panel& panel, SettingsStore& store, BoardLink& board,
                  Timers& timers, Ui& ui);

    // The switch button of output index + 1: toggles it and makes it manual.
    void Relee_Click(int index);
    // Hands output index + 1 to the schedule and back; needs switching times.
    void Auto_Click(int index);
    // Every output off, manual and out of strobe mode; mail control and remote control off.
    void ComOFF_Click();

    // Loads the stored wanted states, shows them and shifts them out to the board.
    void RestoreOutputStates();
    // Rewrites the stored wanted states; a store failure is ignored.
    void SaveOutputStates();

    // Sets the wanted state of output k and its indicators; nothing reaches the board.
    void setWanted(int k, int on);
    // Sets, shifts out and stores the wanted state of output k.
    void switchOutput(int k, int on);
    // Shifts out and stores the wanted states as they stand.
    void shiftAndSave();

private:
    void showWanted(int k);

    State& m_state;
    Panel& m_panel;
    SettingsStore& m_store;
    BoardLink& m_board;
    Timers& m_timers;
    Ui& m_ui;
};

}  // namespace kestrum
