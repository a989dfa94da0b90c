#include "general_settings.h"

#include "core/settings_keys.h"
#include "dialogs/refusal.h"

namespace kestrum {

namespace {
const QString kSettingsError = QStringLiteral("Kaugvoole seadete viga...");
const QString kPortKey = QStringLiteral("Järjestikport");
}  // namespace

GeneralSettings::GeneralSettings(State& state, Panel& panel, SettingsStore& store, SerialPort& port,
                                 Timers& timers, Ui& ui)
    : m_state(state), m_panel(panel), m_store(store), m_port(port), m_timers(timers), m_ui(ui) {}

GeneralForm GeneralSettings::Form_Load() {
    GeneralForm form;
    const auto seaded = [&](const char* key) {
        return Value(m_store.read(sections::Seaded, QString::fromLatin1(key)));
    };
    const auto flag = [&](const char* key, Value& variable) {
        const bool on = seaded(key).toInt() != 0;
        variable = on ? 1 : 0;
        return on;
    };

    const int port = seaded("Järjestikport").toInt();
    form.portIndex = port >= 1 && port <= 4 ? port - 1 : 0;
    for (int i = 1; i <= 8; ++i) {
        m_state.KlahviNimi[i] =
            m_store.read(sections::KlahviNimi.section, numberedKey(sections::KlahviNimi.keyword, i),
                         QStringLiteral("Väljund ") + signedText(i));
        form.outputNames[i - 1] = m_state.KlahviNimi[i].text();
        m_state.SisendiNimi[i] = m_store.read(sections::SisendiNimi.section,
                                              numberedKey(sections::SisendiNimi.keyword, i),
                                              QStringLiteral("Sisend") + signedText(i));
        form.inputNames[i - 1] = m_state.SisendiNimi[i].text();
    }
    form.mailEnabled = flag("MailEnabled", m_state.MailEnabled);
    form.prefAdrOnly = flag("PrefAdrOnly", m_state.PrefAdrOnly);
    form.prefAdrText = seaded("PrefAdrText").text();
    m_state.PrefAdrText = form.prefAdrText;
    form.prefAdrText1 = seaded("PrefAdrText1").text();
    m_state.PrefAdrText1 = form.prefAdrText1;
    const int period = seaded("MailCheckInt").toInt();
    form.mailCheckIndex = period >= 0 && period <= 2 ? period : 0;
    m_state.MailCheckInt = form.mailCheckIndex;
    form.confirm = flag("Confirm", m_state.Confirm);
    form.passwordRequired = flag("ParoolLubatud", m_state.ParoolLubatud);
    form.password = seaded("Subjekt").text();
    m_state.Subjekt = form.password;
    const auto stored = [&](const char* key, Value& variable) {
        const Value value = seaded(key);
        variable = value.text().isEmpty() ? Value(0) : value;
        return !(variable == 0);
    };
    form.logging = stored("Logi", m_state.Logi);
    form.supervision = stored("ControlEnabled", m_state.ControlEnabled);
    return form;
}

void GeneralSettings::store(const QString& key, const QString& text) {
    m_store.write(sections::Seaded, key, text);
    m_store.sync();
}

void GeneralSettings::storeFlag(const char* key, bool on, Value& variable) {
    variable = on ? 1 : 0;
    store(QString::fromLatin1(key), variable.text());
}

bool GeneralSettings::ComOK_Click(GeneralForm& form) {
    skipOnStoreError([&] { storeFlag("MailEnabled", form.mailEnabled, m_state.MailEnabled); });
    m_panel.mailIndicatorShown = form.mailEnabled;
    m_panel.changed();
    skipOnStoreError([&] { storeFlag("PrefAdrOnly", form.prefAdrOnly, m_state.PrefAdrOnly); });
    if (form.prefAdrOnly && form.prefAdrText.isEmpty()) {
        return refuse(m_ui, QStringLiteral("1. eelistatud aadressi väli on tühi!"), kSettingsError);
    }
    skipOnStoreError([&] {
        m_state.PrefAdrText = form.prefAdrText;
        store(QStringLiteral("PrefAdrText"), form.prefAdrText);
    });
    skipOnStoreError([&] {
        m_state.PrefAdrText1 = form.prefAdrText1;
        store(QStringLiteral("PrefAdrText1"), form.prefAdrText1);
    });
    skipOnStoreError([&] {
        m_state.MailCheckInt = form.mailCheckIndex;
        store(QStringLiteral("MailCheckInt"), QString::number(form.mailCheckIndex));
    });
    skipOnStoreError([&] { storeFlag("Confirm", form.confirm, m_state.Confirm); });
    return takePort(form);
}

// From the port on, any step that fails is answered like a port that cannot be opened.
bool GeneralSettings::takePort(GeneralForm& form) {
    const int previous = m_port.commPort();
    const auto portRefused = [&] {
        m_port.setCommPort(previous);
        m_panel.portLabel = QString::number(previous);
        m_panel.changed();
        form.portIndex = previous >= 1 && previous <= 4 ? previous - 1 : form.portIndex;
        return refuse(m_ui, QStringLiteral("Valitud pordi aktiveerimine ei õnnestunud"),
                      QStringLiteral("Kaugvoolus"));
    };
    try {
        m_port.setCommPort(form.portIndex + 1);
        if (!m_port.open()) {
            return portRefused();
        }
        m_port.close();
        store(kPortKey, QString::number(form.portIndex + 1));
        m_panel.portLabel = QString::number(m_port.commPort());
        m_panel.changed();

        if (m_state.MailEnabled == 1) {
            m_state.MailCountdown = (m_state.MailCheckInt.toInt() + 1) * 5;
            m_timers.PostiKell->setInterval(60000);
            m_timers.PostiKell->setEnabled(true);
        } else {
            m_timers.PostiKell->setEnabled(false);
        }
        if (form.mailEnabled && form.password.isEmpty()) {
            return refuse(m_ui, QStringLiteral("Tunnussõna väli on tühi!"), kSettingsError);
        }
        m_state.Subjekt = form.password;
        store(QStringLiteral("Subjekt"), form.password);
        storeFlag("ParoolLubatud", form.passwordRequired, m_state.ParoolLubatud);
        storeFlag("Logi", form.logging, m_state.Logi);
        storeFlag("ControlEnabled", form.supervision, m_state.ControlEnabled);
    } catch (const StoreError&) {
        return portRefused();
    }
    return true;
}

void GeneralSettings::ComCancel_Click() {
    for (int i = 1; i <= 8; ++i) {
        m_panel.outputs[i - 1].frameCaption = m_state.KlahviNimi[i].text();
    }
    m_panel.changed();
}

}  // namespace kestrum
