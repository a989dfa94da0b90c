#pragma once

#include "core/state.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>

namespace kestrum {

// The retained messages the bridge keeps on the broker, by topic. The state's change at any
// scan: the levels the board read back, whether an output's differs from the wanted one, and
// whether the board can be read at all. The names', with the discovery messages that make the
// outputs, inputs and the all-off one device "Kestrum" in Home Assistant, only with the names.
// node names the device among others on the same broker.
std::map<QString, QByteArray> stateMessages(const State& state, const QString& base);
// The names of output 1, input 1, output 2, ... as published.
QStringList names(const State& state);
std::map<QString, QByteArray> nameMessages(const QStringList& names, const QString& base,
                                           const QString& node);

bool isDiscoveryConfig(const QString& topic);

// A client id as a discovery node id may be written: letters, digits, _ and -.
QString discoveryNode(const QString& clientId);

}  // namespace kestrum
