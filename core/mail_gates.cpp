#include "mail_gates.h"

namespace kestrum {

MailGates MailGates::of(const State& state) {
    return {!(state.ParoolLubatud == 0), !(state.PrefAdrOnly == 0), state.VerifiedSenders == 1};
}

QString openMailDoorWarning() {
    return QStringLiteral(
        "E-mail control is on with no gate: anyone who can send a mail to the account could "
        "switch the outputs. The gates are \"Require password\", \"Listen only following "
        "adresses\" and \"Only if my mail server verified the sender\".");
}

}  // namespace kestrum
