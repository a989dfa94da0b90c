#pragma once

#include "core/timer.h"

#include <vector>

namespace kestrum::testing {

// Timers and a clock that move only when the test says so. Due timers fire one at a time in
// the order of their due time (ties in the order they were armed), each at its own moment.
class VirtualTime : public TimerFactory, public Clock {
public:
    VirtualTime();
    ~VirtualTime() override;

    std::unique_ptr<Timer> createTimer() override;
    QDateTime now() const override { return m_wallClockStart.addMSecs(m_nowMs); }
    qint64 monotonicMs() const override { return m_nowMs; }

    void setWallClock(const QDateTime& moment);
    void advance(qint64 milliseconds);
    // The thread is held (a blocking call): the clocks move and no timer fires. As with Qt's
    // timers, each timer that fell due meanwhile fires once when events run again, not once
    // for every interval missed.
    void hold(qint64 milliseconds);

private:
    class VirtualTimer;
    friend class VirtualTimer;

    qint64 m_nowMs = 0;
    QDateTime m_wallClockStart;
    quint64 m_armCount = 0;
    std::vector<VirtualTimer*> m_timers;
};

}  // namespace kestrum::testing
