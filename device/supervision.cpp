#include "supervision.h"

namespace kestrum {

Supervision::Supervision(State& state, Panel& panel, EventLog& log, Notifier& notifier)
    : m_state(state), m_panel(panel), m_log(log), m_notifier(notifier) {}

void Supervision::evaluateFrame() {
    for (int k = 1; k <= 8; ++k) {
        m_state.OutputDiffers[k] = m_state.Valjundid[k] == m_state.ReadBack[k] ? 0 : 1;
    }
    handleInputChanges();
    if (m_state.ControlEnabled == 1) {
        superviseOutputs();
    }
}

void Supervision::notify(int event) {
    if (m_notifier.SendNotification(event)) {
        m_notifier.EndMailSession();
    } else {
        m_log.LogEvent(LogCode::MailFailure);
    }
}

// A change whose mail failed still counts as seen: trying it again at every scan would flood
// the log and hold the window for a mail deadline every 100 ms while the server is down.
void Supervision::handleInputChanges() {
    for (int k = 1; k <= 8; ++k) {
        if (m_state.PreviousInputs[k] == m_state.ReadBack[k + 8]) {
            continue;
        }
        m_log.LogInputChange(k);
        if (m_state.MailEnabled == 1 && m_state.SisendiMuutuseMail[k] == 1) {
            notify(k);
        }
        m_state.PreviousInputs[k] = m_state.ReadBack[k + 8];
    }
}

void Supervision::superviseOutputs() {
    bool anyFailed = false;
    for (int k = 1; k <= 8; ++k) {
        const bool failed = m_state.OutputDiffers[k] == 1;
        m_panel.outputs[k - 1].failureShown = failed;
        m_state.OutputFailed[k] = failed ? 1 : 0;
        anyFailed = anyFailed || failed;
    }
    m_panel.failureLabel = anyFailed ? QStringLiteral("Hardware failure") : QString();
    m_panel.failureLabelColour = anyFailed ? kColourRed : kColourGreen;
    m_panel.changed();

    for (int k = 1; k <= 8; ++k) {
        if (m_state.OutputFailed[k] == 1 && !(m_state.FailureAnnounced[k] == 1)) {
            m_log.LogEvent(LogCode::OutputsFailed);
            m_state.FailureAnnounced[k] = 1;
            if (m_state.MailEnabled == 1) {
                notify(k + 9);
            }
        }
    }
}

}  // namespace kestrum
