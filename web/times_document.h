#pragma once

#include "core/state.h"
#include "dialogs/output_settings.h"
#include "web/confirmed_ui.h"

#include <QJsonObject>

namespace kestrum {

// One output's time table through the engine of the timer settings window, so the page stores
// with the window's checks and is refused with its texts.
class TimesDocument {
public:
    TimesDocument(State& state, OutputSettings& settings, ConfirmedUi& ui)
        : m_state(state), m_settings(settings), m_ui(ui) {}

    // The name, the ten entries as the window's pickers show them (set: false where the
    // entry is empty), the daily flag and the strobe times of output n.
    QJsonObject read(int n);
    // Stores what the page sent as OK in the window would. Empty when stored; otherwise the
    // reason, which is the window's own text where the window refused.
    QString write(int n, const QJsonObject& document);

private:
    State& m_state;
    OutputSettings& m_settings;
    ConfirmedUi& m_ui;
};

}  // namespace kestrum
