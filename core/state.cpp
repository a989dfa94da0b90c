#include "state.h"

namespace kestrum {

QStringList textsOf(const State::PerOutput& table) {
    QStringList texts;
    for (int n = 1; n <= State::PerOutput::size(); ++n) {
        texts << table[n].text();
    }
    return texts;
}

QStringList textsOf(const TimeTable<Value>& table) {
    QStringList texts;
    for (int output = 1; output <= TimeTable<Value>::kOutputs; ++output) {
        for (int slot = 1; slot <= TimeTable<Value>::kSlots; ++slot) {
            texts << table(slot, output).text();
        }
    }
    return texts;
}

}  // namespace kestrum
