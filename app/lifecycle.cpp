#include "lifecycle.h"

#include "control/schedule.h"
#include "core/logging.h"
#include "core/mail_countdown.h"
#include "core/mail_gates.h"
#include "device/board_link.h"

#include <QDebug>

namespace kestrum {

namespace {

// A hand-edited value may be megabytes long: the line shows its beginning and its length.
constexpr qsizetype kShownLength = 40;

QString shown(const QString& text) {
    QString quoted;
    // Quoted the way QDebug escapes, so that a line break in the value cannot start a new line.
    QDebug(&quoted).nospace() << text.left(kShownLength);
    if (text.size() > kShownLength) {
        quoted += QStringLiteral("... (%1 characters)").arg(text.size());
    }
    return quoted;
}

void reportUnusableSetting(const QString& section, const QString& key, const QString& text,
                           const Value& taken) {
    const QString line = QStringLiteral("Setting [%1] %2 = %3 cannot be used, taken as %4")
                             .arg(section, key, shown(text), shown(taken.text()));
    qCWarning(lcCore).noquote() << line;
}

}  // namespace

Lifecycle::Lifecycle(State& state, Panel& panel, SettingsStore& store, SerialPort& port,
                     Timers& timers, Ui& ui, Engines engines)
    : m_state(state),
      m_panel(panel),
      m_store(store),
      m_portChoice(port, panel),
      m_timers(timers),
      m_ui(ui),
      m_engines(engines) {}

void Lifecycle::Form_Load() {
    m_state.NewLine = kNewLine;
    m_state.FailureReported = 0;
    m_panel.mailIndicatorShown = false;
    m_panel.failureLabel.clear();
    m_ui.showMainWindow();
    m_state.TrayIconData.tip = QStringLiteral("Kaugvool");
    m_ui.addTrayIcon(m_state.TrayIconData);

    m_engines.completion.CompleteSettings();
    // A stop while the completion's message waited for the user: nothing more is loaded or
    // written, and the program ends from here.
    if (m_shutDown) {
        return;
    }
    m_portChoice.chooseAtStartUp(m_store);
    loadSettings();
    m_settingsLoaded = true;
    if (armMailCountdown(m_state, *m_timers.PostiKell)) {
        m_panel.mailIndicatorShown = true;
    }
    for (int i = 1; i <= 8; ++i) {
        m_panel.inputs[i - 1].lampLit = false;
        m_state.PreviousInputs[i] = 0;
        m_state.FailureAnnounced[i] = 0;
    }
    m_panel.changed();
    m_engines.outputs.RestoreOutputStates();
    m_engines.log.LogEvent(LogCode::Start);
    // Said where a headless program's user looks: the journal, and the event log.
    if (m_state.MailEnabled == 1 && MailGates::of(m_state).none()) {
        qCWarning(lcCore).noquote() << openMailDoorWarning();
        m_engines.log.LogEvent(LogCode::OpenMailDoor);
    }

    // Scans and the schedule begin only now, so that they never act on settings not yet loaded.
    m_timers.EventTimer->setInterval(BoardLink::kScanPeriodMs);
    m_timers.EventTimer->setEnabled(true);
    m_timers.Timer1->setInterval(Schedule::kTickMs);
    m_timers.Timer1->setEnabled(true);
}

Value Lifecycle::load(const QString& section, const QString& key, const Value& fallback,
                      const Limits& limits) const {
    const QString text = m_store.read(section, key, fallback.text());
    if (text.isEmpty()) {
        return fallback;
    }
    const Value taken = limits.usableOr(Value(text), fallback);
    if (taken.text() != text) {
        reportUnusableSetting(section, key, text, taken);
    }
    return taken;
}

template <typename Table>
void Lifecycle::loadTable(const NumberedSection& section, Table& table) {
    for (int n = 1; n <= Table::size(); ++n) {
        table[n] = load(section.section, section.key(n), section.startupDefault(n), section.limits);
    }
}

void Lifecycle::loadTimeTable(const NumberedSection& section, TimeTable<Value>& table) {
    for (int number = 1; number <= TimeTable<Value>::kKeys; ++number) {
        table.atKeyNumber(number) = load(section.section, section.key(number),
                                         section.startupDefault(number), section.limits);
    }
}

void Lifecycle::loadSettings() {
    loadTimeTable(sections::Sisseajad, m_state.Sisseajad);
    loadTimeTable(sections::Valjaajad, m_state.Valjaajad);

    loadTable(sections::Juhtimine, m_state.Juhtimine);
    for (int n = 1; n <= 8; ++n) {
        m_panel.outputs[n - 1].autoLampLit = m_state.Juhtimine[n] == 1;
    }
    loadTable(sections::Mode, m_state.Mode);
    loadTable(sections::StroboSees, m_state.StroboSees);
    for (int n = 1; n <= 8; ++n) {
        if (m_state.Mode[n] == 1) {
            Timer& strobe = *m_timers.StroboTaimer[n - 1];
            strobe.setInterval(m_state.StroboSees[n].toInt());
            strobe.setEnabled(true);
        }
    }
    loadTable(sections::StroboValjas, m_state.StroboValjas);

    loadTable(sections::KlahviNimi, m_state.KlahviNimi);
    loadTable(sections::SisendiNimi, m_state.SisendiNimi);
    loadTable(sections::SisendiMuutuseMail, m_state.SisendiMuutuseMail);
    for (int n = 1; n <= 8; ++n) {
        m_panel.outputs[n - 1].frameCaption = m_state.KlahviNimi[n].text();
        m_panel.inputs[n - 1].frameCaption = m_state.SisendiNimi[n].text();
        m_panel.inputs[n - 1].mailMarkShown = !(m_state.SisendiMuutuseMail[n] == 0);
    }
    loadTable(sections::Initsialiseeritud, m_state.Initsialiseeritud);
    loadTable(sections::Nadalapaevad, m_state.Nadalapaevad);
    loadTable(sections::PaikeSisse, m_state.PaikeSisse);
    loadTable(sections::PaikeValja, m_state.PaikeValja);
    loadTable(sections::PulsiLopp, m_state.PulsiLopp);

    const auto loadGeneral = [&](const auto& keys) {
        for (const GeneralKey* key : keys) {
            m_state.*(key->variable) =
                load(sections::Seaded, key->key, key->startupDefault, key->limits);
        }
    };
    loadGeneral(general::completed);
    loadGeneral(general::added);
}

void Lifecycle::Form_Unload() {
    m_ui.removeTrayIcon(m_state.TrayIconData);
    ShutDown();
}

void Lifecycle::ShutDown() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    // Nothing switches or scans once the stop is recorded.
    m_timers.disableAll();
    // Before the load the variables hold nothing of the user's: writing them would empty the
    // stored ones.
    if (m_settingsLoaded) {
        writeBackAndLogStop();
    }
    m_ui.unloadMainWindow();
}

void Lifecycle::writeBackAndLogStop() {
    replaceSectionSkippingErrors(m_store, sections::Juhtimine, textsOf(m_state.Juhtimine));
    skipOnStoreError([&] {
        const NumberedSection& section = sections::SisendiMuutuseMail;
        for (int n = 1; n <= 8; ++n) {
            m_store.write(section.section, section.key(n), m_state.SisendiMuutuseMail[n].text());
        }
        m_store.sync();
    });
    m_engines.log.LogEvent(LogCode::Stop);
}

}  // namespace kestrum
