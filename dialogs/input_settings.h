#pragma once

#include "core/panel.h"
#include "core/settings_store.h"
#include "core/state.h"
#include "core/ui.h"

namespace kestrum {

struct InputForm {
    QString name;
    bool mail = false;
};

// One input's name and whether its changes are mailed; the mail flag reaches the store only
// at shut-down.
class InputSettings {
public:
    InputSettings(State& state, Panel& panel, SettingsStore& store, Ui& ui);

    // What the window shows as it opens (its Form_Load).
    InputForm formOnOpening() const;
    // True when the window may close; a refusal has been told to the user.
    bool ComOK_Click(InputForm& form);

private:
    State& m_state;
    Panel& m_panel;
    SettingsStore& m_store;
    Ui& m_ui;
};

}  // namespace kestrum
