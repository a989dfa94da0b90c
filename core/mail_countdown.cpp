#include "mail_countdown.h"

#include "settings_keys.h"

namespace kestrum {

namespace {
constexpr int kTickMs = 60000;

int periodOfInterval(int interval) {
    return (interval + 1) * 5;
}
}  // namespace

int mailPeriodMinutes(const State& state) {
    return periodOfInterval(state.MailCheckInt.toInt());
}

bool armMailCountdown(State& state, Timer& postiKell) {
    if (!(state.MailEnabled == 1)) {
        postiKell.setEnabled(false);
        return false;
    }
    state.MailCountdown = mailPeriodMinutes(state);
    postiKell.setInterval(kTickMs);
    postiKell.setEnabled(true);
    return true;
}

void holdMailCountdown(State& state, Timer& postiKell) {
    state.MailCountdown = periodOfInterval(general::MailCheckInt.startupDefault.toInt());
    postiKell.setInterval(kTickMs);
    postiKell.setEnabled(false);
}

}  // namespace kestrum
