#include "settings_completion.h"

#include "settings_keys.h"

namespace kestrum {

namespace {

const QString kZero = QStringLiteral("0");
const QString kStrobeDefault = QStringLiteral("100");

}  // namespace

SettingsCompletion::SettingsCompletion(State& state, Panel& panel, SettingsStore& store,
                                       SerialPort& port, Timers& timers, Ui& ui)
    : m_state(state), m_panel(panel), m_store(store), m_port(port), m_timers(timers), m_ui(ui) {}

void SettingsCompletion::CompleteSettings() {
    m_panel.dateLabel = QStringLiteral("REBIRTH...");
    const bool completed = completeSections();

    m_state.MailCountdown = 5;
    m_timers.PostiKell->setInterval(60000);
    m_timers.PostiKell->setEnabled(false);

    const bool portTaken = completePort();
    m_panel.changed();
    if (portTaken && completed) {
        m_ui.messageBox(QStringLiteral("Kaugvool täiendas programmi seadeid. Kontrolli üle!"),
                        QStringLiteral("Kaugvoole info"), MessageIcon::Information,
                        MessageButtons::Ok);
    }
}

void SettingsCompletion::writeNumbered(const NumberedSection& section, int count,
                                       const std::function<QString(int)>& textOf,
                                       const std::function<void(int)>& afterWrite) {
    for (int n = 1; n <= count; ++n) {
        m_store.write(section.section, numberedKey(section.keyword, n), textOf(n));
        afterWrite(n);
    }
    m_store.sync();
}

bool SettingsCompletion::completeSections() {
    bool completed = false;
    // A row runs only when its probe key reads empty; a store failure abandons that row alone.
    const auto row = [&](const NumberedSection& section, auto&& action) {
        if (m_store.read(section.section, numberedKey(section.keyword, 1)).isEmpty()) {
            completed = true;
            skipOnStoreError(action);
        }
    };
    const auto zeros = [](int) { return kZero; };
    const auto zeroTable = [&](const NumberedSection& section, State::PerOutput& table) {
        row(section, [&] { writeNumbered(section, 8, zeros, [&](int n) { table[n] = 0; }); });
    };

    row(sections::Mode, [&] {
        writeNumbered(sections::Mode, 8, zeros, [&](int n) {
            m_state.Mode[n] = 0;
            m_timers.StroboTaimer[n - 1]->setEnabled(false);
        });
    });
    zeroTable(sections::Juhtimine, m_state.Juhtimine);
    zeroTable(sections::Initsialiseeritud, m_state.Initsialiseeritud);
    zeroTable(sections::Valjundid, m_state.Valjundid);

    const auto names = [&](const NumberedSection& section, const QString& word,
                           State::PerOutput& table) {
        row(section, [&] {
            writeNumbered(
                section, 8, [&](int n) { return word + signedText(n) + QStringLiteral("    "); },
                [&](int n) { table[n] = word + signedText(n); });
        });
    };
    names(sections::KlahviNimi, QStringLiteral("Väljund"), m_state.KlahviNimi);
    names(sections::SisendiNimi, QStringLiteral("Sisend"), m_state.SisendiNimi);

    row(sections::SisendiMuutuseMail, [&] {
        for (int n = 1; n <= 8; ++n) {
            m_state.SisendiMuutuseMail[n] = 0;
            m_panel.inputs[n - 1].mailMarkShown = false;
            m_store.write(sections::SisendiMuutuseMail.section,
                          numberedKey(sections::SisendiMuutuseMail.keyword, n), kZero);
        }
        m_store.sync();
    });

    const auto times = [&](const NumberedSection& section, TimeTable<Value>& table) {
        row(section, [&] {
            for (int n = 1; n <= TimeTable<Value>::kOutputs; ++n) {
                for (int s = 1; s <= TimeTable<Value>::kSlots; ++s) {
                    m_store.write(section.section,
                                  numberedKey(section.keyword, TimeTable<Value>::keyNumber(s, n)),
                                  kZero);
                    table(s, n) = 0;
                }
            }
            m_store.sync();
        });
    };
    times(sections::Sisseajad, m_state.Sisseajad);
    times(sections::Valjaajad, m_state.Valjaajad);

    row(sections::StroboSees, [&] {
        for (int n = 1; n <= 8; ++n) {
            m_state.StroboSees[n] = 100;
            m_store.write(sections::StroboSees.section,
                          numberedKey(sections::StroboSees.keyword, n), kStrobeDefault);
            m_timers.StroboTaimer[n - 1]->setInterval(100);
        }
        m_store.sync();
    });
    row(sections::StroboValjas, [&] {
        for (int n = 1; n <= 8; ++n) {
            m_state.StroboValjas[n] = 100;
            m_store.write(sections::StroboValjas.section,
                          numberedKey(sections::StroboValjas.keyword, n), kStrobeDefault);
        }
        m_store.sync();
    });

    completeGeneralSettings(completed);
    return completed;
}

void SettingsCompletion::completeGeneralSettings(bool& completed) {
    struct GeneralRow {
        QString key;
        QString text;
        Value* variable;
        // Keys that may hold the empty text read the same as missing ones: no reason to tell.
        bool tellsUser;
    };
    const GeneralRow rows[] = {
        {QStringLiteral("MailEnabled"), kZero, &m_state.MailEnabled, true},
        {QStringLiteral("PrefAdrOnly"), kZero, &m_state.PrefAdrOnly, true},
        {QStringLiteral("PrefAdrText"), QString(), &m_state.PrefAdrText, false},
        {QStringLiteral("PrefAdrText1"), QString(), &m_state.PrefAdrText1, false},
        {QStringLiteral("MailCheckInt"), kZero, &m_state.MailCheckInt, true},
        {QStringLiteral("Confirm"), kZero, &m_state.Confirm, true},
        {QStringLiteral("ParoolLubatud"), kZero, &m_state.ParoolLubatud, true},
        {QStringLiteral("Subjekt"), QStringLiteral("tuulelipp"), &m_state.Subjekt, false},
        {QStringLiteral("Logi"), kZero, &m_state.Logi, true},
        {QStringLiteral("ControlEnabled"), kZero, &m_state.ControlEnabled, true},
    };
    for (const GeneralRow& row : rows) {
        if (!m_store.read(sections::Seaded, row.key).isEmpty()) {
            continue;
        }
        completed = completed || row.tellsUser;
        skipOnStoreError([&] {
            m_store.write(sections::Seaded, row.key, row.text);
            m_store.sync();
            *row.variable = row.text;
            if (row.variable == &m_state.MailEnabled) {
                m_panel.mailIndicatorShown = false;
            }
        });
    }
}

bool SettingsCompletion::completePort() {
    const QString key = QStringLiteral("Järjestikport");
    if (Value(m_store.read(sections::Seaded, key, kZero)).toInt() > 0) {
        return true;
    }
    m_port.setCommPort(1);
    const bool opened = m_port.open();
    m_port.close();
    const int port = opened ? 1 : 2;
    m_port.setCommPort(port);
    m_panel.portLabel = QString::number(port);
    skipOnStoreError([&] {
        m_store.write(sections::Seaded, key, QString::number(port));
        m_store.sync();
    });
    return opened;
}

}  // namespace kestrum
