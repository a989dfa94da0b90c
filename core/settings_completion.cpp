#include "settings_completion.h"

#include "mail_countdown.h"
#include "settings_keys.h"

namespace kestrum {

SettingsCompletion::SettingsCompletion(State& state, Panel& panel, SettingsStore& store,
                                       SerialPort& port, Timers& timers, Ui& ui)
    : m_state(state),
      m_panel(panel),
      m_store(store),
      m_portChoice(port, panel),
      m_timers(timers),
      m_ui(ui) {}

void SettingsCompletion::CompleteSettings() {
    m_panel.dateLabel = QStringLiteral("REBIRTH...");
    const bool completed = completeSections();

    holdMailCountdown(m_state, *m_timers.PostiKell);

    const bool portTaken = m_portChoice.complete(m_store);
    m_panel.changed();
    if (portTaken && completed) {
        m_ui.messageBox(QStringLiteral("Kaugvool täiendas programmi seadeid. Kontrolli üle!"),
                        QStringLiteral("Kaugvoole info"), MessageIcon::Information,
                        MessageButtons::Ok);
    }
}

// Writes the default of each of the section's keys in turn, with what goes before and after
// that key's write; a failing write abandons the rest of the section.
void SettingsCompletion::fillSection(const NumberedSection& section, int count,
                                     const std::function<void(int)>& before,
                                     const std::function<void(int)>& after) {
    for (int n = 1; n <= count; ++n) {
        before(n);
        m_store.write(section.section, section.key(n), section.completionText(n));
        after(n);
    }
    m_store.sync();
}

bool SettingsCompletion::completeSections() {
    bool completed = false;
    // A row runs only when its probe key reads empty; a store failure abandons that row alone.
    const auto row = [&](const NumberedSection& section, const std::function<void(int)>& before,
                         const std::function<void(int)>& after) {
        if (m_store.read(section.section, section.key(1)).isEmpty()) {
            completed = true;
            skipOnStoreError([&] { fillSection(section, 8, before, after); });
        }
    };
    const auto nothing = [](int) {};
    const auto table = [&](const NumberedSection& section, State::PerOutput& variables) {
        row(section, nothing, [&](int n) { variables[n] = section.completionValue(n); });
    };

    row(sections::Mode, nothing, [&](int n) {
        m_state.Mode[n] = 0;
        m_timers.StroboTaimer[n - 1]->setEnabled(false);
    });
    table(sections::Juhtimine, m_state.Juhtimine);
    table(sections::Initsialiseeritud, m_state.Initsialiseeritud);
    table(sections::Valjundid, m_state.Valjundid);
    table(sections::KlahviNimi, m_state.KlahviNimi);
    table(sections::SisendiNimi, m_state.SisendiNimi);
    row(
        sections::SisendiMuutuseMail,
        [&](int n) {
            m_state.SisendiMuutuseMail[n] = 0;
            m_panel.inputs[n - 1].mailMarkShown = false;
        },
        nothing);

    for (const auto& [section, slots] : {std::pair{&sections::Sisseajad, &m_state.Sisseajad},
                                         std::pair{&sections::Valjaajad, &m_state.Valjaajad}}) {
        if (m_store.read(section->section, section->key(1)).isEmpty()) {
            completed = true;
            skipOnStoreError([&] {
                fillSection(*section, TimeTable<Value>::kKeys, nothing,
                            [&](int number) { slots->atKeyNumber(number) = 0; });
            });
        }
    }

    row(
        sections::StroboSees, [&](int n) { m_state.StroboSees[n] = 100; },
        [&](int n) { m_timers.StroboTaimer[n - 1]->setInterval(100); });
    row(
        sections::StroboValjas, [&](int n) { m_state.StroboValjas[n] = 100; }, nothing);

    // Sections of a later version: their defaults change nothing, so there is nothing to tell.
    const auto added = [&](const NumberedSection& section, auto& variables) {
        if (m_store.read(section.section, section.key(1)).isEmpty()) {
            skipOnStoreError([&] {
                fillSection(section, std::remove_reference_t<decltype(variables)>::size(), nothing,
                            [&](int n) { variables[n] = section.completionValue(n); });
            });
        }
    };
    added(sections::Nadalapaevad, m_state.Nadalapaevad);
    added(sections::PaikeSisse, m_state.PaikeSisse);
    added(sections::PaikeValja, m_state.PaikeValja);
    added(sections::PulsiLopp, m_state.PulsiLopp);

    completeGeneralSettings(completed);
    return completed;
}

void SettingsCompletion::completeGeneralSettings(bool& completed) {
    for (const GeneralKey* key : general::completed) {
        if (!m_store.read(sections::Seaded, key->key).isEmpty()) {
            continue;
        }
        completed = completed || key->completionTellsUser;
        skipOnStoreError([&] {
            m_store.write(sections::Seaded, key->key, key->completionText);
            m_store.sync();
            m_state.*(key->variable) = key->completionText;
            if (key == &general::MailEnabled) {
                m_panel.mailIndicatorShown = false;
            }
        });
    }
}

}  // namespace kestrum
