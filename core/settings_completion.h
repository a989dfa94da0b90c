#pragma once

#include "panel.h"
#include "port_choice.h"
#include "serial_port.h"
#include "settings_keys.h"
#include "settings_store.h"
#include "state.h"
#include "timers.h"
#include "ui.h"

namespace kestrum {

// Writes the defaults of every section that is missing from the store (first run, or a store
// left by an older version) and tells the user once.
class SettingsCompletion {
public:
    SettingsCompletion(State& state, Panel& panel, SettingsStore& store, SerialPort& port,
                       Timers& timers, Ui& ui);

    void CompleteSettings();

private:
    // Runs each row whose probe key reads empty; true when one of them asks to tell the user.
    bool completeSections();
    void completeGeneralSettings(bool& completed);
    void fillSection(const NumberedSection& section, int count,
                     const std::function<void(int)>& before, const std::function<void(int)>& after);

    State& m_state;
    Panel& m_panel;
    SettingsStore& m_store;
    PortChoice m_portChoice;
    Timers& m_timers;
    Ui& m_ui;
};

}  // namespace kestrum
