#include "qt_timers.h"

#include <QTimer>

#include <algorithm>

namespace kestrum {

class QtTimerFactory::Registered : public Timer {
public:
    virtual void runIfDue() = 0;
};

namespace {

using Registry = std::vector<QtTimerFactory::Registered*>;

class QtTimer : public QtTimerFactory::Registered {
public:
    explicit QtTimer(std::shared_ptr<Registry> registry) : m_registry(std::move(registry)) {
        m_registry->push_back(this);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_onTick) {
                m_onTick();
            }
        });
    }

    void setInterval(int milliseconds) override {
        m_timer.setInterval(milliseconds);
        update();
    }
    int interval() const override { return m_timer.interval(); }
    void setEnabled(bool enabled) override {
        if (enabled != m_enabled) {
            m_enabled = enabled;
            update();
        }
    }
    bool isEnabled() const override { return m_enabled; }
    void setOnTick(std::function<void()> onTick) override { m_onTick = std::move(onTick); }

    ~QtTimer() override { std::erase(*m_registry, this); }
    QtTimer(const QtTimer&) = delete;
    QtTimer& operator=(const QtTimer&) = delete;

    // Restarted first, so that the event loop does not tick it a second time for this period.
    void runIfDue() override {
        if (m_timer.isActive() && m_timer.remainingTime() == 0) {
            m_timer.start();
            if (m_onTick) {
                m_onTick();
            }
        }
    }

private:
    // QTimer runs a zero interval as fast as it can; ours never ticks then.
    void update() {
        if (m_enabled && m_timer.interval() > 0) {
            m_timer.start();
        } else {
            m_timer.stop();
        }
    }

    std::shared_ptr<Registry> m_registry;
    QTimer m_timer;
    bool m_enabled = false;
    std::function<void()> m_onTick;
};

}  // namespace

QtTimerFactory::QtTimerFactory() : m_timers(std::make_shared<Registry>()) {}

std::unique_ptr<Timer> QtTimerFactory::createTimer() {
    return std::make_unique<QtTimer>(m_timers);
}

// A tick may create or destroy timers: the list is taken first and each timer looked up again
// before it runs.
void QtTimerFactory::runDue() {
    const Registry timers = *m_timers;
    for (Registered* timer : timers) {
        if (std::find(m_timers->cbegin(), m_timers->cend(), timer) != m_timers->cend()) {
            timer->runIfDue();
        }
    }
}

}  // namespace kestrum
