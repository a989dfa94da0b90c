#pragma once

#include "core/panel.h"
#include "core/settings_store.h"
#include "core/state.h"
#include "device/board_link.h"

namespace kestrum {

// The wanted states of the outputs: switching them and keeping them across restarts.
class OutputControl {
public:
    OutputControl(State& state, Panel& panel, SettingsStore& store, BoardLink& board);

    // Loads the stored wanted states, shows them and shifts them out to the board.
    void RestoreOutputStates();
    // Rewrites the stored wanted states; a store failure is ignored.
    void SaveOutputStates();

private:
    State& m_state;
    Panel& m_panel;
    SettingsStore& m_store;
    BoardLink& m_board;
};

}  // namespace kestrum
