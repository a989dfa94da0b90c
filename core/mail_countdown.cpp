#include "mail_countdown.h"

#include "settings_keys.h"

namespace kestrum {

namespace {
constexpr int kTickMs = 60000;

int periodOfInterval(int interval) {
    return (interval + 1) * 5;
}
}  // namespace

void restartMailCountdown(State& state) {
    state.MailCountdown = periodOfInterval(state.MailCheckInt.toInt());
}

bool mailCountdownTick(State& state) {
    state.MailCountdown = state.MailCountdown.toInt() - 1;
    return state.MailCountdown == 0;
}

bool armMailCountdown(State& state, Timer& postiKell) {
    if (!(state.MailEnabled == 1)) {
        postiKell.setEnabled(false);
        return false;
    }
    restartMailCountdown(state);
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
