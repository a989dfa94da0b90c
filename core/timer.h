#pragma once

#include <QDateTime>

#include <functional>
#include <memory>

namespace kestrum {

// A repeating timer. It ticks every interval while enabled; an interval of 0 never ticks.
class Timer {
public:
    virtual ~Timer() = default;

    // Sets the period in milliseconds; an enabled timer starts a fresh period.
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    // Enabling a disabled timer starts a fresh period; disabling drops the pending tick.
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setOnTick(std::function<void()> onTick) = 0;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    // A new timer, disabled, with interval 0.
    virtual std::unique_ptr<Timer> createTimer() = 0;
    // Runs, one at a time, the ticks of this factory's timers that have come due while a long
    // piece of work held the thread, each starting a fresh period. Where time passes only when
    // told to (tests), nothing is ever overdue.
    virtual void runDue() {}
};

class Clock {
public:
    virtual ~Clock() = default;
    // The local wall-clock time.
    virtual QDateTime now() const = 0;
    // Milliseconds since an arbitrary start; never goes back.
    virtual qint64 monotonicMs() const = 0;
};

}  // namespace kestrum
