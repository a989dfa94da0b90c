#pragma once

#include "core/panel.h"
#include "core/settings_store.h"
#include "core/state.h"
#include "core/timer.h"
#include "core/timers.h"
#include "core/ui.h"
#include "device/board_link.h"

#include <functional>
#include <optional>

namespace kestrum {

// The wanted states of the outputs: switching them by hand, handing them to the schedule,
// all off at once, and keeping them across restarts.
class OutputControl {
public:
    OutputControl(State& state, Panel& panel, SettingsStore& store, BoardLink& board,
                  Timers& timers, Ui& ui, const Clock& clock);

    static constexpr int kLongestPulseMinutes = 24 * 60;

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

    // Switches output k on for 1 to 1440 minutes; the end is stored, so that it switches off
    // then even after a restart. False, changing nothing, for any other number of minutes.
    bool startPulse(int k, int minutes);
    // Forgets output k's pulse, switching nothing: the output was switched by other means.
    void endPulse(int k);
    std::optional<QDateTime> pulseEnd(int k) const;

    // Brings the schedule up to now before a command takes effect: a switching time that
    // passed while the thread was held must come before the command, never undo it later.
    void setScheduleCatchUp(std::function<void()> catchUp) { m_catchUp = std::move(catchUp); }
    void catchUpSchedule() const;

private:
    void showWanted(int k);
    void savePulses();

    State& m_state;
    Panel& m_panel;
    SettingsStore& m_store;
    BoardLink& m_board;
    Timers& m_timers;
    Ui& m_ui;
    const Clock& m_clock;
    std::function<void()> m_catchUp;
};

}  // namespace kestrum
