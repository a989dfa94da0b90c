#include "output_control.h"

#include "core/mail_countdown.h"
#include "core/settings_keys.h"

namespace kestrum {

OutputControl::OutputControl(State& state, Panel& panel, SettingsStore& store, BoardLink& board,
                             Timers& timers, Ui& ui)
    : m_state(state), m_panel(panel), m_store(store), m_board(board), m_timers(timers), m_ui(ui) {}

// A state that is neither 0 nor 1 came from a hand-edited store: the indicators keep their look.
void OutputControl::showWanted(int k) {
    OutputIndicators& indicators = m_panel.outputs[k - 1];
    if (m_state.Valjundid[k] == 0) {
        indicators.switchCaption = QStringLiteral("S");
        indicators.lampColour = kColourGreen;
    } else if (m_state.Valjundid[k] == 1) {
        indicators.switchCaption = QStringLiteral("V");
        indicators.lampColour = kColourRed;
    }
}

void OutputControl::setWanted(int k, int on) {
    m_state.Valjundid[k] = on;
    showWanted(k);
    m_panel.changed();
}

void OutputControl::switchOutput(int k, int on) {
    setWanted(k, on);
    shiftAndSave();
}

void OutputControl::shiftAndSave() {
    m_board.ShiftOutputs();
    SaveOutputStates();
}

void OutputControl::Relee_Click(int index) {
    const int k = index + 1;
    // The section is rewritten by Auto_Click and at shut-down, not here.
    m_state.Juhtimine[k] = 0;
    m_panel.outputs[index].autoLampLit = false;
    switchOutput(k, m_state.Valjundid[k] == 0 ? 1 : 0);
}

void OutputControl::Auto_Click(int index) {
    const int k = index + 1;
    if (m_state.Initsialiseeritud[k] == 0) {
        m_ui.openSettingsDialog();
        if (m_state.Initsialiseeritud[k] == 0) {
            m_ui.messageBox(QStringLiteral("Automaatreziimi siirdumiseks peavad sisse- ja "
                                           "väljalülitumisajad olema defineeritud. Jätkan "
                                           "käsitsijuhtimisel!"),
                            QStringLiteral("Kaugvoolus"), MessageIcon::Critical,
                            MessageButtons::Ok);
            return;
        }
    }
    const bool automatic = m_state.Juhtimine[k] == 0;
    m_state.Juhtimine[k] = automatic ? 1 : 0;
    m_panel.outputs[index].autoLampLit = automatic;
    m_panel.changed();
    replaceSectionSkippingErrors(m_store, sections::Juhtimine, textsOf(m_state.Juhtimine));
}

// The stored states stay as they were, so they come back at the next start; the failure flags
// are left alone. Mail control ends for real, and with it the countdown to the next check.
void OutputControl::ComOFF_Click() {
    m_board.openWithFallback();
    m_board.writeAllOff();
    for (int k = 1; k <= 8; ++k) {
        m_state.Juhtimine[k] = 0;
        m_state.Valjundid[k] = 0;
        m_state.Mode[k] = 0;
        OutputIndicators& indicators = m_panel.outputs[k - 1];
        indicators.autoLampLit = false;
        indicators.lampColour = kColourGreen;
        indicators.switchCaption = QStringLiteral("S");
        m_timers.StroboTaimer[k - 1]->setEnabled(false);
    }
    m_state.MailEnabled = 0;
    // An automation on a hub must not undo an emergency stop.
    m_state.RemoteControl = 0;
    armMailCountdown(m_state, *m_timers.PostiKell);
    skipOnStoreError([&] {
        m_store.write(sections::Seaded, general::MailEnabled.key, m_state.MailEnabled.text());
        m_store.write(sections::Seaded, general::RemoteControl.key, m_state.RemoteControl.text());
        m_store.sync();
    });
    m_panel.mailIndicatorShown = false;
    m_panel.changed();
}

void OutputControl::RestoreOutputStates() {
    const NumberedSection& section = sections::Valjundid;
    for (int k = 1; k <= 8; ++k) {
        const QString stored =
            m_store.read(section.section, section.key(k), section.completionText(k));
        m_state.Valjundid[k] = stored.isEmpty() ? Value(0) : Value(stored);
        showWanted(k);
    }
    m_panel.changed();
    m_board.ShiftOutputs();
}

void OutputControl::SaveOutputStates() {
    replaceSectionSkippingErrors(m_store, sections::Valjundid, textsOf(m_state.Valjundid));
}

}  // namespace kestrum
