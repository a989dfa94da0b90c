#pragma once

#include "state.h"
#include "timer.h"

namespace kestrum {

// The countdown to the next automatic mail check: PostiKell ticks once a minute while mail
// control is on, and MailCountdown holds the minutes left.

// A whole period starts: 5, 10 or 15 minutes by MailCheckInt. Every check restarts it, whether
// it came due or was asked for, so that the next one is a whole period after it.
void restartMailCountdown(State& state);
// One minute gone; true when it was the last one and the check is due.
bool mailCountdownTick(State& state);
// With mail control on, a whole period starts (true); with it off, the countdown stops, so that
// nothing goes on fetching and running commands while the panel says mail control is off.
bool armMailCountdown(State& state, Timer& postiKell);
// Stopped until start-up arms it, at the period of the default interval.
void holdMailCountdown(State& state, Timer& postiKell);

}  // namespace kestrum
