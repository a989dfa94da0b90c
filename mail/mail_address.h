#pragma once

#include <QByteArray>
#include <QString>

namespace kestrum {

// The address (addr-spec) of the one mailbox in an unfolded From value, in the case it was
// written: the angle address when there is one, else the bare address; display names, quoted
// strings around it and comments never count. Empty for anything else: no address, more than one
// mailbox, a group, unbalanced quotes, comments or angle brackets.
QString mailboxAddress(const QByteArray& value);

}  // namespace kestrum
