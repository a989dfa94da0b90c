#include "remote_switching.h"

#include "control/logging.h"
#include "core/settings_keys.h"

namespace kestrum {

namespace {
// A hub that keeps sending must not flood the log.
constexpr qint64 kRefusalLogPeriodMs = 60 * 1000;
}  // namespace

RemoteSwitching::RemoteSwitching(State& state, Panel& panel, SettingsStore& store,
                                 OutputControl& outputs, Gate gate)
    : m_state(state), m_panel(panel), m_store(store), m_outputs(outputs), m_gate(gate) {}

bool RemoteSwitching::admits() {
    if (m_gate == Gate::EmailControl) {
        return true;
    }
    if (!(m_state.RemoteControl == 0)) {
        return m_rateLimit.admit();
    }
    if (!m_lastRefusalLogged.isValid() || m_lastRefusalLogged.hasExpired(kRefusalLogPeriodMs)) {
        m_lastRefusalLogged.start();
        qCWarning(lcControl).noquote()
            << "Remote command" << m_state.LastCommand.text()
            << "refused: remote control is off since the all-off. Turn it on again with \"Obey "
               "MQTT and web commands\" in the settings window (Seaded). Further refusals are "
               "logged once a minute.";
    }
    return false;
}

bool RemoteSwitching::repeats(int n, bool control, int on) const {
    if (m_gate != Gate::RemoteControl || !(m_state.Mode[n] == 0) || m_outputs.pulseEnd(n)) {
        return false;
    }
    if (control) {
        return m_state.Juhtimine[n] == on;
    }
    return m_state.Valjundid[n] == on && m_state.OutputFailed[n] == 0;
}

RemoteSwitching::Result RemoteSwitching::switchNow(int n, int on) {
    if (!admits()) {
        return Result::Refused;
    }
    if (repeats(n, false, on)) {
        return Result::Unchanged;
    }
    m_outputs.catchUpSchedule();
    m_outputs.endPulse(n);
    m_state.Mode[n] = 0;
    m_outputs.switchOutput(n, on);
    return Result::Done;
}

RemoteSwitching::Result RemoteSwitching::pulse(int n, int minutes) {
    if (!admits()) {
        return Result::Refused;
    }
    m_outputs.catchUpSchedule();
    return m_outputs.startPulse(n, minutes) ? Result::Done : Result::OutOfRange;
}

RemoteSwitching::Result RemoteSwitching::setControl(int n, bool automatic) {
    if (!admits()) {
        return Result::Refused;
    }
    if (repeats(n, true, automatic ? 1 : 0)) {
        return Result::Unchanged;
    }
    m_outputs.catchUpSchedule();
    if (automatic && !(m_state.Initsialiseeritud[n] == 1)) {
        return Result::NoTimes;
    }
    m_outputs.endPulse(n);
    m_state.Juhtimine[n] = automatic ? 1 : 0;
    m_state.Mode[n] = 0;
    m_panel.outputs[n - 1].autoLampLit = automatic;
    m_panel.changed();
    return Result::Done;
}

void RemoteSwitching::allOff() {
    m_outputs.ComOFF_Click();
}

void RemoteSwitching::save() {
    replaceSwitchedSection(m_store, sections::Mode, textsOf(m_state.Mode));
    replaceSwitchedSection(m_store, sections::Juhtimine, textsOf(m_state.Juhtimine));
    replaceSwitchedSection(m_store, sections::Initsialiseeritud,
                           textsOf(m_state.Initsialiseeritud));
    replaceSwitchedSection(m_store, sections::Sisseajad, textsOf(m_state.Sisseajad));
    replaceSwitchedSection(m_store, sections::Valjaajad, textsOf(m_state.Valjaajad));
    replaceSwitchedSection(m_store, sections::Nadalapaevad, textsOf(m_state.Nadalapaevad));
    replaceSwitchedSection(m_store, sections::PaikeSisse, textsOf(m_state.PaikeSisse));
    replaceSwitchedSection(m_store, sections::PaikeValja, textsOf(m_state.PaikeValja));
}

}  // namespace kestrum
