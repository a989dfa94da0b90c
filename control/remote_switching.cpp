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

RemoteSwitching::Result RemoteSwitching::admission() {
    if (m_gate == Gate::EmailControl) {
        return Result::Done;
    }
    if (!(m_state.RemoteControl == 0)) {
        return m_rateLimit.admit() ? Result::Done : Result::Dropped;
    }
    if (!m_lastRefusalLogged.isValid() || m_lastRefusalLogged.hasExpired(kRefusalLogPeriodMs)) {
        m_lastRefusalLogged.start();
        qCWarning(lcControl).noquote()
            << "Remote command" << m_state.LastCommand.text()
            << "refused: remote control is off since the all-off. Turn it on again with \"Obey "
               "MQTT and web commands\" in the settings window (Seaded). Further refusals are "
               "logged once a minute.";
    }
    return Result::Refused;
}

bool RemoteSwitching::repeats(int n, bool control, int on) const {
    if (m_gate != Gate::RemoteControl || !(m_state.Mode[n] == 0) || m_outputs.pulseEnd(n)) {
        return false;
    }
    if (control) {
        return m_state.Juhtimine[n] == on;
    }
    // Only what the last scan read back counts as standing: a board that lost its relays'
    // levels (a power cut) is switched again by the same command, whether or not supervision
    // is on.
    return m_state.Valjundid[n] == on && m_state.BoardRead == 1 && m_state.ReadBack[n] == on;
}

RemoteSwitching::Result RemoteSwitching::switchNow(int n, int on) {
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
    if (const Result admitted = admission(); admitted != Result::Done) {
        return admitted;
    }
    m_outputs.catchUpSchedule();
    return m_outputs.startPulse(n, minutes) ? Result::Done : Result::OutOfRange;
}

RemoteSwitching::Result RemoteSwitching::setControl(int n, bool automatic) {
    if (const Result admitted = admission(); admitted != Result::Done) {
        return admitted;
    }
    return changeControl(n, automatic);
}

RemoteSwitching::Result RemoteSwitching::changeControl(int n, bool automatic) {
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

RemoteSwitching::Result RemoteSwitching::carryOut(int n, RemoteCommand command, EventLog& log) {
    if (const Result admitted = admission(); admitted != Result::Done) {
        return admitted;
    }
    return carryOutAdmitted(n, command, log);
}

RemoteSwitching::Result RemoteSwitching::carryOutAdmitted(int n, RemoteCommand command,
                                                          EventLog& log) {
    const RemoteCommandEntry& entry = remoteCommand(command);
    const Result result = entry.kind == RemoteCommandKind::Switching
                              ? switchNow(n, entry.on ? 1 : 0)
                              : changeControl(n, entry.on);
    if (result == Result::NoTimes) {
        log.LogEvent(LogCode::NoTimes);
    }
    return result;
}

// A command turned away by the gate or the rate limit is not logged: a flood must not fill the
// log.
RemoteSwitching::Result RemoteSwitching::run(int n, RemoteCommand command, EventLog& log) {
    m_state.LastCommand = QStringLiteral("KOORMUS_%1_%2")
                              .arg(n)
                              .arg(QLatin1String(remoteCommand(command).mailAction));
    if (const Result admitted = admission(); admitted != Result::Done) {
        return admitted;
    }
    log.LogEvent(LogCode::CommandReceived);
    const Result result = carryOutAdmitted(n, command, log);
    if (result == Result::Done) {
        save();
    }
    return result;
}

RemoteSwitching::Result RemoteSwitching::runPulse(int n, int minutes, EventLog& log) {
    m_state.LastCommand = QStringLiteral("KOORMUS_%1_SISSE_%2MIN").arg(n).arg(minutes);
    const Result result = pulse(n, minutes);
    if (result == Result::Done) {
        log.LogEvent(LogCode::CommandReceived);
    }
    return result;
}

void RemoteSwitching::allOff(EventLog& log) {
    m_state.LastCommand = QStringLiteral("KOIK_VALJA");
    log.LogEvent(LogCode::CommandReceived);
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
