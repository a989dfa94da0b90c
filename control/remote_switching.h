#pragma once

#include "control/output_control.h"
#include "core/panel.h"
#include "core/settings_store.h"
#include "core/state.h"
#include "log/event_log.h"

namespace kestrum {

// The commands a remote (MQTT, the web panel) gives one output, named as the same command by
// mail: KOORMUS_<k>_SISSE_KOHE, _VALJA_KOHE, _AUTO and _KASI.
enum class RemoteCommand { On, Off, Auto, Manual };

// What a remote command does to one output, the same whether it came by mail or by MQTT:
// switching it now, handing it to the schedule and back, and keeping that across restarts.
class RemoteSwitching {
public:
    RemoteSwitching(State& state, Panel& panel, SettingsStore& store, OutputControl& outputs);

    // Output n switched on or off now and made manual.
    void switchNow(int n, int on);
    // Output n handed to the schedule or taken back. False, changing nothing, when the
    // schedule is asked for an output that has no switching times.
    bool setControl(int n, bool automatic);
    // Runs the command on output n with the effects and the log entries of the same command by
    // mail, and stores the outcome. False, changing nothing, when the schedule is refused (its
    // "aegpuudu" entry is logged).
    bool run(int n, RemoteCommand command, EventLog& log);
    // Stores the control modes and the switching times as they stand; a store failure is
    // skipped, so a full disk cannot stop the switching itself.
    void save();

private:
    State& m_state;
    Panel& m_panel;
    SettingsStore& m_store;
    OutputControl& m_outputs;
};

}  // namespace kestrum
