#pragma once

#include "control/command_rate_limit.h"
#include "control/output_control.h"
#include "core/panel.h"
#include "core/settings_store.h"
#include "core/state.h"

#include <QElapsedTimer>

namespace kestrum {

// What a remote command does to one output, the same whether it came by mail, by MQTT or from
// the web panel: switching it now or for a while, handing it to the schedule and back, and keeping
// that across restarts. It is also the remotes' one gate: after the red all-off, commands are
// refused until the user turns remote control on again in the settings window
// (`State::RemoteControl`, key "RemoteControl" of section "Seaded"). Mail has a gate of its own,
// e-mail control, which the all-off turns off as well and which the mail session obeys before it
// fetches anything. Behind the remotes' gate each remote also has its own rate limit, so that a
// flood from the network is dropped at the door.
class RemoteSwitching {
public:
    enum class Gate { RemoteControl, EmailControl };
    // Unchanged: a command from the network that asked for what stands already, done without a
    // shift and with nothing to save.
    enum class Result { Done, NoTimes, OutOfRange, Refused, Unchanged };

    RemoteSwitching(State& state, Panel& panel, SettingsStore& store, OutputControl& outputs,
                    Gate gate = Gate::RemoteControl);

    // Output n switched on or off now and made manual.
    Result switchNow(int n, int on);
    // Output n switched on for 1 to 1440 minutes, then off by itself. OutOfRange, changing
    // nothing, for any other number of minutes.
    Result pulse(int n, int minutes);
    // Output n handed to the schedule or taken back. NoTimes, changing nothing, when the
    // schedule is asked for an output that has no switching times.
    Result setControl(int n, bool automatic);
    // The control panel's all-off. Never refused: stopping everything is always allowed.
    void allOff();
    // Stores the control modes and the switching times as they stand; a store failure is
    // skipped, so a full disk cannot stop the switching itself.
    void save();

private:
    // False, with the refusal of State::LastCommand logged at most once a minute, while the gate
    // is shut; false too for a network command beyond the rate limit.
    bool admits();
    // Whether a command from the network asks for what stands already: an output neither
    // strobing nor pulsing, in the state asked and following it on the board; or the control
    // mode asked. A flood of the same command then costs no shift and no store write. A mail's
    // commands are each carried out, as its reply tells.
    bool repeats(int n, bool control, int on) const;

    State& m_state;
    Panel& m_panel;
    SettingsStore& m_store;
    OutputControl& m_outputs;
    Gate m_gate;
    QElapsedTimer m_lastRefusalLogged;
    CommandRateLimit m_rateLimit;
};

}  // namespace kestrum
