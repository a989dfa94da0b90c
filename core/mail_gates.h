#pragma once

#include "state.h"

#include <QString>

namespace kestrum {

// What must hold of a mail before its commands switch anything. With mail control on and none
// of them, anyone who can send a mail to the account switches the loads.
struct MailGates {
    bool passwordRequired = false;
    bool preferredSendersOnly = false;
    bool verifiedSenders = false;

    // As the mail session applies them: a flag other than 0 that is not 1 lets no mail through.
    static MailGates of(const State& state);
    bool none() const { return !passwordRequired && !preferredSendersOnly && !verifiedSenders; }
};

// The warning for mail control with no gate, naming the gates as the settings window does.
QString openMailDoorWarning();

}  // namespace kestrum
