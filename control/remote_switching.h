#pragma once

#include "control/command_rate_limit.h"
#include "control/output_control.h"
#include "control/remote_commands.h"
#include "core/panel.h"
#include "core/settings_store.h"
#include "core/state.h"
#include "log/event_log.h"

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
    // shift and with nothing to save. Dropped: a command from the network beyond the rate limit.
    enum class Result { Done, NoTimes, OutOfRange, Refused, Unchanged, Dropped };

    RemoteSwitching(State& state, Panel& panel, SettingsStore& store, OutputControl& outputs,
                    Gate gate = Gate::RemoteControl);

    // Output n switched on for 1 to 1440 minutes, then off by itself. OutOfRange, changing
    // nothing, for any other number of minutes.
    Result pulse(int n, int minutes);
    // Output n handed to the schedule or taken back. NoTimes, changing nothing, when the
    // schedule is asked for an output that has no switching times.
    Result setControl(int n, bool automatic);
    // Carries out a command on output n that has been logged as received, as mail logs each of
    // its commands: NoTimes, with the "aegpuudu" entry logged, when the schedule is refused.
    Result carryOut(int n, RemoteCommand command, EventLog& log);
    // carryOut() as MQTT and the web panel give it: named and logged as received as the same
    // command by mail, once admitted, and the outcome stored. Refused, changing and logging
    // nothing, while remote control is off.
    Result run(int n, RemoteCommand command, EventLog& log);
    // pulse() as a remote gives it, named and logged as the same command by mail
    // (KOORMUS_<k>_SISSE_<minutes>MIN).
    Result runPulse(int n, int minutes, EventLog& log);
    // The control panel's all-off, logged as "Saadeti käsk: KOIK_VALJA". Never refused:
    // stopping everything is always allowed.
    void allOff(EventLog& log);
    // Stores the control modes and the switching times as they stand; a store failure is
    // skipped, so a full disk cannot stop the switching itself.
    void save();

private:
    // Done when the command may go on; Refused, logged at most once a minute, while the gate is
    // shut; Dropped for a network command beyond the rate limit.
    Result admission();
    // The commands once admitted.
    Result switchNow(int n, int on);
    Result changeControl(int n, bool automatic);
    Result carryOutAdmitted(int n, RemoteCommand command, EventLog& log);
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
