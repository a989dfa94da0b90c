#pragma once

#include "core/state.h"

#include <QByteArray>
#include <QString>

#include <map>

namespace kestrum {

// The retained messages the bridge keeps on the broker for the state as it stands, by topic,
// all but its availability: the outputs' switching, control and failure, the inputs, their names,
// and the discovery messages that make them one device "Kestrum" in Home Assistant. node names the
// device among others on the same broker.
std::map<QString, QByteArray> publishedState(const State& state, const QString& base,
                                             const QString& node);

// A client id as a discovery node id may be written: letters, digits, _ and -.
QString discoveryNode(const QString& clientId);

}  // namespace kestrum
