#pragma once

#include "local_zone.h"
#include "timer.h"

#include <QElapsedTimer>

#include <memory>
#include <vector>

namespace kestrum {

// Timers on QTimer with Qt::PreciseTimer, run by the Qt event loop.
class QtTimerFactory : public TimerFactory {
public:
    class Registered;

    QtTimerFactory();
    std::unique_ptr<Timer> createTimer() override;
    void runDue() override;

private:
    // Shared with the timers, which may outlive the factory.
    std::shared_ptr<std::vector<Registered*>> m_timers;
};

class SystemClock : public Clock {
public:
    SystemClock() { m_elapsed.start(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 monotonicMs() const override { return m_elapsed.elapsed(); }

private:
    LocalZone m_zone;
    QElapsedTimer m_elapsed;
};

}  // namespace kestrum
