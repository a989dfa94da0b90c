#include "output_control.h"

#include "core/mail_countdown.h"
#include "core/settings_keys.h"

namespace kestrum {

OutputControl::OutputControl(State& state, Panel& panel, SettingsStore& store, BoardLink& board,
                             Timers& timers, Ui& ui, const Clock& clock)
    : m_state(state),
      m_panel(panel),
      m_store(store),
      m_board(board),
      m_timers(timers),
      m_ui(ui),
      m_clock(clock) {}

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
    endPulse(k);
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
    // Handed over or taken back, the output follows its new master, not a pulse of the past.
    endPulse(k);
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
        endPulse(k);
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

bool OutputControl::startPulse(int k, int minutes) {
    if (minutes < 1 || minutes > kLongestPulseMinutes) {
        return false;
    }
    // Kept in UTC: a pulse over the change of summer time lasts its minutes, not an hour more.
    const QDateTime end = m_clock.now().toUTC().addSecs(qint64{minutes} * 60);
    m_state.PulsiLopp[k] = end.toString(Qt::ISODate);
    m_state.Mode[k] = 0;
    savePulses();
    switchOutput(k, 1);
    return true;
}

void OutputControl::endPulse(int k) {
    if (!(m_state.PulsiLopp[k] == 0)) {
        m_state.PulsiLopp[k] = 0;
        m_panel.outputs[k - 1].pulseRemaining.clear();
        m_panel.changed();
        savePulses();
    }
}

// A hand-edited end that cannot be read is no pulse: the output is left as it is.
std::optional<QDateTime> OutputControl::pulseEnd(int k) const {
    if (m_state.PulsiLopp[k] == 0) {
        return std::nullopt;
    }
    const QDateTime end = QDateTime::fromString(m_state.PulsiLopp[k].text(), Qt::ISODate);
    return end.isValid() ? std::optional(end) : std::nullopt;
}

void OutputControl::savePulses() {
    replaceSectionSkippingErrors(m_store, sections::PulsiLopp, textsOf(m_state.PulsiLopp));
}

void OutputControl::catchUpSchedule() const {
    if (m_catchUp) {
        m_catchUp();
    }
}

void OutputControl::SaveOutputStates() {
    replaceSwitchedSection(m_store, sections::Valjundid, textsOf(m_state.Valjundid));
}

}  // namespace kestrum
