#include "input_settings.h"

#include "core/settings_keys.h"
#include "dialogs/output_settings.h"
#include "dialogs/refusal.h"

namespace kestrum {

InputSettings::InputSettings(State& state, Panel& panel, SettingsStore& store, Ui& ui)
    : m_state(state), m_panel(panel), m_store(store), m_ui(ui) {}

InputForm InputSettings::formOnOpening() const {
    const int n = m_state.EditIndex.toInt();
    return InputForm{m_state.SisendiNimi[n].text(), m_state.SisendiMuutuseMail[n] == 1};
}

bool InputSettings::ComOK_Click(InputForm& form) {
    const int n = m_state.EditIndex.toInt();
    const Limits& nameLimits = sections::SisendiNimi.limits;
    if (!nameLimits.allows(form.name)) {
        return refuse(m_ui, QStringLiteral("Name longer than 12 charachters !"),
                      QStringLiteral("Error in Kestrum's settings.."));
    }
    form.name = paddedName(nameWithoutPadding(form.name), nameLimits.longestName);
    m_state.SisendiNimi[n] = form.name;
    replaceSectionSkippingErrors(m_store, sections::SisendiNimi, textsOf(m_state.SisendiNimi));
    m_state.SisendiMuutuseMail[n] = form.mail ? 1 : 0;
    m_panel.inputs[n - 1].frameCaption = form.name;
    // The mark shows what a change of the input will do from now on.
    m_panel.inputs[n - 1].mailMarkShown = form.mail;
    m_panel.changed();
    return true;
}

}  // namespace kestrum
