#include "output_control.h"

#include "core/settings_keys.h"

namespace kestrum {

OutputControl::OutputControl(State& state, Panel& panel, SettingsStore& store, BoardLink& board)
    : m_state(state), m_panel(panel), m_store(store), m_board(board) {}

void OutputControl::RestoreOutputStates() {
    const NumberedSection& section = sections::Valjundid;
    for (int k = 1; k <= 8; ++k) {
        const QString stored =
            m_store.read(section.section, numberedKey(section.keyword, k), QStringLiteral("0"));
        m_state.Valjundid[k] = stored.isEmpty() ? Value(0) : Value(stored);
        // A state that is neither 0 nor 1 came from a hand-edited store: it stays as it is,
        // shifts out as off and leaves the indicators alone.
        OutputIndicators& indicators = m_panel.outputs[k - 1];
        if (m_state.Valjundid[k] == 0) {
            indicators.switchCaption = QStringLiteral("S");
            indicators.lampColour = kColourGreen;
        } else if (m_state.Valjundid[k] == 1) {
            indicators.switchCaption = QStringLiteral("V");
            indicators.lampColour = kColourRed;
        }
    }
    m_panel.changed();
    m_board.ShiftOutputs();
}

void OutputControl::SaveOutputStates() {
    skipOnStoreError([&] {
        replaceSection(m_store, sections::Valjundid.section, sections::Valjundid.keyword,
                       textsOf(m_state.Valjundid));
    });
}

}  // namespace kestrum
