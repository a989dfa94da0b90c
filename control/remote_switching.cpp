#include "remote_switching.h"

#include "core/settings_keys.h"

namespace kestrum {

RemoteSwitching::RemoteSwitching(State& state, Panel& panel, SettingsStore& store,
                                 OutputControl& outputs)
    : m_state(state), m_panel(panel), m_store(store), m_outputs(outputs) {}

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

bool RemoteSwitching::run(int n, RemoteCommand command, EventLog& log) {
    static const QString kMailActions[] = {QStringLiteral("SISSE_KOHE"),
                                           QStringLiteral("VALJA_KOHE"), QStringLiteral("AUTO"),
                                           QStringLiteral("KASI")};
    m_state.LastCommand =
        QStringLiteral("KOORMUS_%1_%2").arg(n).arg(kMailActions[static_cast<int>(command)]);
    if (command == RemoteCommand::On || command == RemoteCommand::Off) {
        switchNow(n, command == RemoteCommand::On ? 1 : 0);
    } else if (!setControl(n, command == RemoteCommand::Auto)) {
        log.LogEvent(LogCode::NoTimes);
        return false;
    }
    log.LogEvent(LogCode::CommandReceived);
    save();
    return true;
}

void RemoteSwitching::save() {
    replaceSectionSkippingErrors(m_store, sections::Mode, textsOf(m_state.Mode));
    replaceSectionSkippingErrors(m_store, sections::Juhtimine, textsOf(m_state.Juhtimine));
    replaceSectionSkippingErrors(m_store, sections::Initsialiseeritud,
                                 textsOf(m_state.Initsialiseeritud));
    replaceSectionSkippingErrors(m_store, sections::Sisseajad, textsOf(m_state.Sisseajad));
    replaceSectionSkippingErrors(m_store, sections::Valjaajad, textsOf(m_state.Valjaajad));
}

}  // namespace kestrum
