#pragma once

#include "core/timers.h"
#include "device/board_link.h"
#include "support/virtual_time.h"

namespace kestrum::testing {

// Scans run as start-up lets them: every period from now on.
inline void startScanning(Timers& timers) {
    timers.EventTimer->setInterval(BoardLink::kScanPeriodMs);
    timers.EventTimer->setEnabled(true);
}

// One whole scan: the tick a period on and the end of the settle wait; then no more.
inline void scanOnce(Timers& timers, VirtualTime& time) {
    startScanning(timers);
    time.advance(BoardLink::kScanPeriodMs + BoardLink::kSettleWaitMs);
    timers.EventTimer->setEnabled(false);
}

}  // namespace kestrum::testing
