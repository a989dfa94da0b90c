#include "general_settings.h"

#include "control/sun_times.h"
#include "core/mail_countdown.h"
#include "core/mail_gates.h"
#include "core/settings_keys.h"
#include "device/port_error_text.h"
#include "dialogs/refusal.h"

namespace kestrum {

namespace {
const QString kSettingsError = QStringLiteral("Kaugvoole seadete viga...");
}  // namespace

GeneralSettings::GeneralSettings(State& state, Panel& panel, SettingsStore& store, SerialPort& port,
                                 Timers& timers, Ui& ui)
    : m_state(state),
      m_panel(panel),
      m_store(store),
      m_port(port),
      m_portChoice(port, panel),
      m_timers(timers),
      m_ui(ui) {}

GeneralForm GeneralSettings::formOnOpening() {
    GeneralForm form;
    const auto seaded = [&](const GeneralKey& key) {
        return Value(m_store.read(sections::Seaded, key.key));
    };
    const auto flag = [&](const GeneralKey& key) {
        const bool on = seaded(key).toInt() != 0;
        m_state.*(key.variable) = on ? 1 : 0;
        return on;
    };
    const auto text = [&](const GeneralKey& key) {
        const QString stored = seaded(key).text();
        m_state.*(key.variable) = stored;
        return stored;
    };

    const int port = PortChoice::stored(m_store);
    form.portIndex =
        port >= 1 && port <= 4 ? port - 1 : general::Jarjestikport.startupDefault.toInt() - 1;
    // Cut as start-up cuts them: the file may have been edited by hand since.
    const auto name = [&](const NumberedSection& section, int n, const Value& missing) {
        const Value stored(m_store.read(section.section, section.key(n), missing.text()));
        return section.limits.usableOr(stored, missing);
    };
    for (int i = 1; i <= 8; ++i) {
        m_state.KlahviNimi[i] =
            name(sections::KlahviNimi, i, sections::KlahviNimi.startupDefault(i));
        form.outputNames[i - 1] = m_state.KlahviNimi[i].text();
        // An input without a stored name is shown as completion names it in memory.
        m_state.SisendiNimi[i] =
            name(sections::SisendiNimi, i, sections::SisendiNimi.completionValue(i));
        form.inputNames[i - 1] = m_state.SisendiNimi[i].text();
    }
    form.mailEnabled = flag(general::MailEnabled);
    form.prefAdrOnly = flag(general::PrefAdrOnly);
    form.prefAdrText = text(general::PrefAdrText);
    form.prefAdrText1 = text(general::PrefAdrText1);
    form.verifiedSenders = flag(general::VerifiedSenders);
    form.authServId = text(general::AuthServId);
    const GeneralKey& period = general::MailCheckInt;
    form.mailCheckIndex = period.limits.usableOr(seaded(period), period.startupDefault).toInt();
    m_state.MailCheckInt = form.mailCheckIndex;
    form.confirm = flag(general::Confirm);
    form.passwordRequired = flag(general::ParoolLubatud);
    form.password = text(general::Subjekt);
    const auto stored = [&](const GeneralKey& key) {
        const Value value = seaded(key);
        Value& variable = m_state.*(key.variable);
        variable = value.text().isEmpty() ? Value(0) : value;
        return !(variable == 0);
    };
    form.logging = stored(general::Logi);
    form.supervision = stored(general::ControlEnabled);
    form.latitude = text(general::Latitude);
    form.longitude = text(general::Longitude);
    const Value remote = seaded(general::RemoteControl);
    m_state.RemoteControl = remote.text().isEmpty() ? general::RemoteControl.startupDefault
                                                    : Value(remote == 0 ? 0 : 1);
    form.remoteControl = m_state.RemoteControl == 1;
    return form;
}

void GeneralSettings::store(const GeneralKey& key, const Value& value) {
    m_state.*(key.variable) = value;
    m_store.write(sections::Seaded, key.key, value.text());
    m_store.sync();
}

void GeneralSettings::storeFlag(const GeneralKey& key, bool on) {
    store(key, on ? 1 : 0);
}

bool GeneralSettings::ComOK_Click(GeneralForm& form) {
    const MailGates gates{form.passwordRequired, form.prefAdrOnly, form.verifiedSenders};
    if (form.mailEnabled && gates.none() &&
        m_ui.messageBox(openMailDoorWarning() + QStringLiteral("\n\nSave the settings anyway?"),
                        QStringLiteral("Kaugvoolus"), MessageIcon::Warning,
                        MessageButtons::YesNo) != MessageAnswer::Yes) {
        return false;
    }
    skipOnStoreError([&] { storeFlag(general::MailEnabled, form.mailEnabled); });
    m_panel.mailIndicatorShown = form.mailEnabled;
    m_panel.changed();
    skipOnStoreError([&] { storeFlag(general::PrefAdrOnly, form.prefAdrOnly); });
    if (form.prefAdrOnly && form.prefAdrText.isEmpty()) {
        return refuse(m_ui, QStringLiteral("1. eelistatud aadressi väli on tühi!"), kSettingsError);
    }
    skipOnStoreError([&] { store(general::PrefAdrText, form.prefAdrText); });
    skipOnStoreError([&] { store(general::PrefAdrText1, form.prefAdrText1); });
    skipOnStoreError([&] { storeFlag(general::VerifiedSenders, form.verifiedSenders); });
    skipOnStoreError([&] { store(general::AuthServId, form.authServId.trimmed()); });
    skipOnStoreError([&] { store(general::MailCheckInt, form.mailCheckIndex); });
    skipOnStoreError([&] { storeFlag(general::Confirm, form.confirm); });
    skipOnStoreError([&] { storeFlag(general::RemoteControl, form.remoteControl); });
    if (!takePlace(form)) {
        return false;
    }
    return takePort(form);
}

// A decimal comma is taken as the point it stands for.
bool GeneralSettings::takePlace(GeneralForm& form) {
    const QString latitude = form.latitude.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
    const QString longitude = form.longitude.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
    if ((!latitude.isEmpty() || !longitude.isEmpty()) && !placeOf(latitude, longitude)) {
        return refuse(m_ui,
                      QStringLiteral("Asukoht vale: Latitude peab olema kraadides -90 kuni 90 "
                                     "(põhja pool positiivne, nt 59.437), Longitude -180 kuni 180 "
                                     "(ida pool positiivne, nt 24.7536). Asukohata jäta mõlemad "
                                     "tühjaks."),
                      kSettingsError);
    }
    form.latitude = latitude;
    form.longitude = longitude;
    skipOnStoreError([&] {
        store(general::Latitude, latitude);
        store(general::Longitude, longitude);
    });
    return true;
}

// From the port on, a failing step is named: a refused port leaves store and board on the
// previous one; a store that fails leaves the board on the port the store keeps.
bool GeneralSettings::takePort(GeneralForm& form) {
    const int previous = m_port.commPort();
    const NumberedSection& devices = sections::Pordid;
    const int chosen = form.portIndex + 1;
    const QString previousDevice = m_store.read(devices.section, devices.key(chosen));
    const QString previousNumber = m_store.read(sections::Seaded, general::Jarjestikport.key);
    const auto setBack = [&] {
        skipOnStoreError([&] {
            // A refused device must not stay behind the port number the board may be using.
            if (!form.device.isEmpty()) {
                m_store.write(devices.section, devices.key(chosen), previousDevice);
            }
            m_store.write(sections::Seaded, general::Jarjestikport.key, previousNumber);
            m_store.sync();
        });
        m_portChoice.setBack(previous);
        m_panel.changed();
        form.portIndex = previous >= 1 && previous <= 4 ? previous - 1 : form.portIndex;
    };
    bool portTaken = false;
    try {
        // A board scan may hold the previous port open while the board settles: an open would
        // then prove nothing about the chosen one. The scan opens the port again itself.
        m_port.close();
        // Stored first, so that the test opens the chosen device.
        if (!form.device.isEmpty()) {
            m_store.write(devices.section, devices.key(chosen), form.device);
            m_store.sync();
        }
        if (!m_portChoice.takeChosen(chosen, m_state, m_store)) {
            const QString why = portOpenErrorText(m_port.deviceName(), m_port.lastOpenError());
            setBack();
            return refuse(m_ui,
                          QStringLiteral("Valitud pordi aktiveerimine ei õnnestunud\n\n") + why,
                          QStringLiteral("Kaugvoolus"));
        }
        portTaken = true;
        m_panel.changed();
        armMailCountdown(m_state, *m_timers.PostiKell);
        if (form.mailEnabled && form.password.isEmpty()) {
            return refuse(m_ui, QStringLiteral("Tunnussõna väli on tühi!"), kSettingsError);
        }
        store(general::Subjekt, form.password);
        storeFlag(general::ParoolLubatud, form.passwordRequired);
        storeFlag(general::Logi, form.logging);
        storeFlag(general::ControlEnabled, form.supervision);
    } catch (const StoreError& error) {
        reportStoreError(error);
        if (!portTaken) {
            setBack();
        }
        const QString text = QStringLiteral(
            "The settings could not be saved: %1\n\nThe board stays on port %2, the port the "
            "settings file names. Mend the cause and press OK again.");
        return refuse(m_ui, text.arg(QString::fromUtf8(error.what())).arg(m_port.commPort()),
                      kSettingsError);
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
