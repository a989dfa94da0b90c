#pragma once

#include "control/output_control.h"
#include "core/panel.h"
#include "core/port_choice.h"
#include "core/serial_port.h"
#include "core/settings_completion.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/state.h"
#include "core/timers.h"
#include "core/ui.h"
#include "log/event_log.h"

namespace kestrum {

// Start-up and shut-down of the program: completes and loads the settings, tests the port,
// restores the outputs; at the end writes back what is saved only at exit.
class Lifecycle {
public:
    // The engines that start-up and shut-down call on.
    struct Engines {
        SettingsCompletion& completion;
        OutputControl& outputs;
        EventLog& log;
    };

    Lifecycle(State& state, Panel& panel, SettingsStore& store, SerialPort& port, Timers& timers,
              Ui& ui, Engines engines);

    // The main window's load handler: the start of the whole program.
    void Form_Load();
    // The main window is being closed, by whatever means.
    void Form_Unload();
    // Runs once however the program ends; asked again it does nothing. Asked before the settings
    // are loaded, it only ends the program and writes nothing.
    void ShutDown();

    bool hasShutDown() const { return m_shutDown; }

private:
    void loadSettings();
    void loadTimeTable(const NumberedSection& section, TimeTable<Value>& table);
    template <typename Table>
    void loadTable(const NumberedSection& section, Table& table);
    // The stored value as the program can use it; the store keeps what it holds.
    Value load(const QString& section, const QString& key, const Value& fallback,
               const Limits& limits) const;
    void writeBackAndLogStop();

    State& m_state;
    Panel& m_panel;
    SettingsStore& m_store;
    PortChoice m_portChoice;
    Timers& m_timers;
    Ui& m_ui;
    Engines m_engines;
    bool m_settingsLoaded = false;
    bool m_shutDown = false;
};

}  // namespace kestrum
