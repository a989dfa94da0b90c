#include "qt_timers.h"

#include <QTimer>

namespace kestrum {

namespace {

class QtTimer : public Timer {
public:
    QtTimer() {
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

private:
    // QTimer runs a zero interval as fast as it can; ours never ticks then.
    void update() {
        if (m_enabled && m_timer.interval() > 0) {
            m_timer.start();
        } else {
            m_timer.stop();
        }
    }

    QTimer m_timer;
    bool m_enabled = false;
    std::function<void()> m_onTick;
};

}  // namespace

std::unique_ptr<Timer> QtTimerFactory::createTimer() {
    return std::make_unique<QtTimer>();
}

}  // namespace kestrum
