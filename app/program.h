#pragma once

#include "app/lifecycle.h"
#include "control/output_control.h"
#include "core/panel.h"
#include "core/settings_completion.h"
#include "core/state.h"
#include "core/timers.h"
#include "device/board_link.h"
#include "log/event_log.h"

namespace kestrum {

// The services the program runs on: real ones in the application, test ones in the tests.
struct Services {
    SettingsStore& store;
    SerialPort& port;
    TimerFactory& timerFactory;
    const Clock& clock;
    Ui& ui;
    QString logFilePath;
};

// Builds the engine's parts over the services and wires them to each other. Nothing runs
// until lifecycle().Form_Load().
class Program {
public:
    explicit Program(const Services& services);

    State& state() { return m_state; }
    Panel& panel() { return m_panel; }
    Timers& timers() { return m_timers; }
    EventLog& log() { return m_log; }
    BoardLink& board() { return m_board; }
    OutputControl& outputs() { return m_outputs; }
    Lifecycle& lifecycle() { return m_lifecycle; }

private:
    State m_state;
    Panel m_panel;
    Timers m_timers;
    SettingsCompletion m_completion;
    EventLog m_log;
    BoardLink m_board;
    OutputControl m_outputs;
    Lifecycle m_lifecycle;
};

}  // namespace kestrum
