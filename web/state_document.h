#pragma once

#include "core/state.h"

#include <QDateTime>
#include <QJsonObject>

namespace kestrum {

// What the panel shows, as the page and the events carry it: each output's wanted level and
// the level the last scan read back (null while the board cannot be read), its failure,
// control and strobe; the inputs as read; the mail countdown.
QJsonObject stateDocument(const State& state, const QDateTime& now);

}  // namespace kestrum
