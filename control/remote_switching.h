#pragma once

#include "control/output_control.h"
#include "core/panel.h"
#include "core/settings_store.h"
#include "core/state.h"

namespace kestrum {

// What a remote command does to one output, the same whether it came by mail or by MQTT:
// switching it now or for a while, handing it to the schedule and back, and keeping that across
// restarts.
class RemoteSwitching {
public:
    RemoteSwitching(State& state, Panel& panel, SettingsStore& store, OutputControl& outputs);

    // Output n switched on or off now and made manual.
    void switchNow(int n, int on);
    // Output n switched on for 1 to 1440 minutes, then off by itself. False, changing
    // nothing, for any other number of minutes.
    bool pulse(int n, int minutes);
    // Output n handed to the schedule or taken back. False, changing nothing, when the
    // schedule is asked for an output that has no switching times.
    bool setControl(int n, bool automatic);
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
