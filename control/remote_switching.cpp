#include "remote_switching.h"

#include "core/settings_keys.h"

namespace kestrum {

RemoteSwitching::RemoteSwitching(State& state, Panel& panel, SettingsStore& store,
                                 OutputControl& outputs)
    : m_state(state), m_panel(panel), m_store(store), m_outputs(outputs) {}

void RemoteSwitching::switchNow(int n, int on) {
    m_outputs.catchUpSchedule();
    m_outputs.endPulse(n);
    m_state.Mode[n] = 0;
    m_outputs.switchOutput(n, on);
}

bool RemoteSwitching::pulse(int n, int minutes) {
    m_outputs.catchUpSchedule();
    return m_outputs.startPulse(n, minutes);
}

bool RemoteSwitching::setControl(int n, bool automatic) {
    m_outputs.catchUpSchedule();
    if (automatic && !(m_state.Initsialiseeritud[n] == 1)) {
        return false;
    }
    m_outputs.endPulse(n);
    m_state.Juhtimine[n] = automatic ? 1 : 0;
    m_state.Mode[n] = 0;
    m_panel.outputs[n - 1].autoLampLit = automatic;
    m_panel.changed();
    return true;
}

void RemoteSwitching::save() {
    replaceSectionSkippingErrors(m_store, sections::Mode, textsOf(m_state.Mode));
    replaceSectionSkippingErrors(m_store, sections::Juhtimine, textsOf(m_state.Juhtimine));
    replaceSectionSkippingErrors(m_store, sections::Initsialiseeritud,
                                 textsOf(m_state.Initsialiseeritud));
    replaceSectionSkippingErrors(m_store, sections::Sisseajad, textsOf(m_state.Sisseajad));
    replaceSectionSkippingErrors(m_store, sections::Valjaajad, textsOf(m_state.Valjaajad));
    replaceSectionSkippingErrors(m_store, sections::Nadalapaevad, textsOf(m_state.Nadalapaevad));
    replaceSectionSkippingErrors(m_store, sections::PaikeSisse, textsOf(m_state.PaikeSisse));
    replaceSectionSkippingErrors(m_store, sections::PaikeValja, textsOf(m_state.PaikeValja));
}

}  // namespace kestrum
