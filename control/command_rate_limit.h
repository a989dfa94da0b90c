#pragma once

#include "core/timer.h"

#include <QElapsedTimer>

namespace kestrum {

// The door of a remote that anyone on the network can knock at: a token bucket of kPerSecond
// commands a second with bursts of kBurst. A flood beyond it is dropped here, before it costs a
// shift, a store write or a log line, so the schedule and the next legitimate command are not
// queued behind it. The drops are told in one line a minute at most.
class CommandRateLimit {
public:
    static constexpr int kPerSecond = 20;
    static constexpr int kBurst = 50;

    // Timed on the clock given, or on a monotonic clock of its own.
    explicit CommandRateLimit(const Clock* clock = nullptr);

    // Takes a token; false when none is left and the command must be dropped.
    bool admit();

private:
    qint64 nowMs() const { return m_clock ? m_clock->monotonicMs() : m_elapsed.elapsed(); }

    const Clock* m_clock;
    QElapsedTimer m_elapsed;
    double m_tokens = kBurst;
    qint64 m_filledAtMs;
    qint64 m_dropped = 0;
    // When the last line about drops was written; none yet while negative.
    qint64 m_toldAtMs = -1;
};

}  // namespace kestrum
