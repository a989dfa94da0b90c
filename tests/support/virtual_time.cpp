#include "virtual_time.h"

#include <algorithm>

namespace kestrum::testing {

class VirtualTime::VirtualTimer : public Timer {
public:
    explicit VirtualTimer(VirtualTime& time) : m_time(time) { m_time.m_timers.push_back(this); }
    ~VirtualTimer() override { std::erase(m_time.m_timers, this); }

    void setInterval(int milliseconds) override {
        m_interval = milliseconds;
        arm();
    }
    int interval() const override { return m_interval; }
    void setEnabled(bool enabled) override {
        if (enabled != m_enabled) {
            m_enabled = enabled;
            arm();
        }
    }
    bool isEnabled() const override { return m_enabled; }
    void setOnTick(std::function<void()> onTick) override { m_onTick = std::move(onTick); }

    bool running() const { return m_enabled && m_interval > 0; }
    qint64 due() const { return m_due; }
    void notBefore(qint64 moment) { m_due = std::max(m_due, moment); }
    quint64 armedAs() const { return m_armedAs; }
    void tick() {
        m_due += m_interval;
        if (m_onTick) {
            m_onTick();
        }
    }

private:
    void arm() {
        m_due = m_time.m_nowMs + m_interval;
        m_armedAs = ++m_time.m_armCount;
    }

    VirtualTime& m_time;
    int m_interval = 0;
    bool m_enabled = false;
    qint64 m_due = 0;
    quint64 m_armedAs = 0;
    std::function<void()> m_onTick;
};

VirtualTime::VirtualTime() : m_wallClockStart(QDate(2026, 12, 6), QTime(12, 0)) {}

VirtualTime::~VirtualTime() = default;

std::unique_ptr<Timer> VirtualTime::createTimer() {
    return std::make_unique<VirtualTimer>(*this);
}

void VirtualTime::setWallClock(const QDateTime& moment) {
    m_wallClockStart = moment.addMSecs(-m_nowMs);
}

void VirtualTime::advance(qint64 milliseconds) {
    const qint64 end = m_nowMs + milliseconds;
    for (;;) {
        VirtualTimer* next = nullptr;
        for (VirtualTimer* timer : m_timers) {
            if (!timer->running() || timer->due() > end) {
                continue;
            }
            if (next == nullptr || timer->due() < next->due() ||
                (timer->due() == next->due() && timer->armedAs() < next->armedAs())) {
                next = timer;
            }
        }
        if (next == nullptr) {
            break;
        }
        m_nowMs = next->due();
        next->tick();
    }
    m_nowMs = end;
}

void VirtualTime::hold(qint64 milliseconds) {
    m_nowMs += milliseconds;
    for (VirtualTimer* timer : m_timers) {
        timer->notBefore(m_nowMs);
    }
}

}  // namespace kestrum::testing
