#include "remote_switching.h"

#include "core/settings_keys.h"

namespace kestrum {

RemoteSwitching::RemoteSwitching(State& state, Panel& panel, SettingsStore& store,
                                 OutputControl& outputs)
    : m_state(state), m_panel(panel), m_store(store), m_outputs(outputs) {}

bool RemoteSwitching::repeats(int n, bool control, int on) const {
    if (!(m_state.Mode[n] == 0)) {
        return false;
    }
    if (control) {
        return m_state.Juhtimine[n] == on;
    }
    return m_state.Valjundid[n] == on && m_state.OutputFailed[n] == 0;
}

void RemoteSwitching::switchNow(int n, int on) {
    m_state.Mode[n] = 0;
    m_outputs.switchOutput(n, on);
}

bool RemoteSwitching::setControl(int n, bool automatic) {
    if (automatic && !(m_state.Initsialiseeritud[n] == 1)) {
        return false;
    }
    m_state.Juhtimine[n] = automatic ? 1 : 0;
    m_state.Mode[n] = 0;
    m_panel.outputs[n - 1].autoLampLit = automatic;
    m_panel.changed();
    return true;
}

void RemoteSwitching::save() {
    replaceSwitchedSection(m_store, sections::Mode, textsOf(m_state.Mode));
    replaceSwitchedSection(m_store, sections::Juhtimine, textsOf(m_state.Juhtimine));
    replaceSwitchedSection(m_store, sections::Initsialiseeritud,
                           textsOf(m_state.Initsialiseeritud));
    replaceSwitchedSection(m_store, sections::Sisseajad, textsOf(m_state.Sisseajad));
    replaceSwitchedSection(m_store, sections::Valjaajad, textsOf(m_state.Valjaajad));
}

}  // namespace kestrum
