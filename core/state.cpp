#include "state.h"

namespace kestrum {

QStringList textsOf(const State::PerOutput& table) {
    QStringList texts;
    for (int n = 1; n <= State::PerOutput::size(); ++n) {
        texts << table[n].text();
    }
    return texts;
}

}  // namespace kestrum
