#pragma once

#include "core/notifier.h"
#include "core/panel.h"
#include "core/state.h"
#include "log/event_log.h"

namespace kestrum {

// Evaluates each frame the board scan read: input changes are logged and, where asked for,
// mailed; outputs whose read-back differs from their wanted state are marked for the remotes
// always, and, with supervision on, shown, logged and mailed once per shift.
class Supervision {
public:
    Supervision(State& state, Panel& panel, EventLog& log, Notifier& notifier);

    void evaluateFrame();

private:
    void handleInputChanges();
    void superviseOutputs();
    void notify(int event);

    State& m_state;
    Panel& m_panel;
    EventLog& m_log;
    Notifier& m_notifier;
};

}  // namespace kestrum
