#include "state.h"

namespace kestrum {

namespace {
template <typename Table>
QStringList textsOfNumbered(const Table& table) {
    QStringList texts;
    for (int n = 1; n <= Table::size(); ++n) {
        texts << table[n].text();
    }
    return texts;
}
}  // namespace

QStringList textsOf(const State::PerOutput& table) {
    return textsOfNumbered(table);
}

QStringList textsOf(const State::PerEntry& table) {
    return textsOfNumbered(table);
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
