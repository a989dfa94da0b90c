#include "schedule.h"

namespace kestrum {

namespace {
const QString kTimeFormat = QStringLiteral("HH:mm:ss");
// A slot holding midnight is an empty entry as the settings window shows it, never a time.
const QString kNoTime = QStringLiteral("00:00:00");
}  // namespace

Schedule::Schedule(State& state, Panel& panel, OutputControl& outputs, const Clock& clock,
                   Timer& timer1, QLocale locale)
    : m_state(state),
      m_panel(panel),
      m_outputs(outputs),
      m_clock(clock),
      m_timer1(timer1),
      m_locale(std::move(locale)) {
    timer1.setOnTick([this] { Timer1_Timer(); });
}

// The tick comes once a second, just after the wall clock's second begins, so an idle program
// wakes once a second; a switching belongs to its second: each second of the wall clock is
// evaluated once. A clock stepped forward (a suspend, a time server) is a hold: the seconds
// it skipped are caught up. A clock set back passes seconds again; an entry never fires twice
// in the same second. Seconds missed while the thread was held (a mail session up to its
// deadline, a slow port) are evaluated late, in order, with their own date, so a switching time
// that fell inside the hold still switches. Nothing before the first tick is caught up.
void Schedule::Timer1_Timer() {
    QDateTime now = m_clock.now();
    showClock(now);
    armNextTick(now);
    now = now.addMSecs(-now.time().msec());
    const qint64 second = now.toSecsSinceEpoch();
    qint64 from = second;
    if (m_lastEvaluated && second > *m_lastEvaluated) {
        from = std::max(*m_lastEvaluated + 1, second - kCatchUpSeconds);
    } else if (m_lastEvaluated && second == *m_lastEvaluated) {
        return;
    }
    m_lastEvaluated = second;
    for (qint64 s = from; s <= second; ++s) {
        evaluate(now.addSecs(s - second));
    }
}

void Schedule::armNextTick(const QDateTime& now) {
    m_timer1.setInterval(1000 - now.time().msec() + kTickAfterSecondMs);
}

void Schedule::showClock(const QDateTime& now) {
    const QString time = now.toString(kTimeFormat);
    // The tick is the program's busiest loop: the month name is looked up once a day.
    if (now.date() != m_today) {
        m_today = now.date();
        m_dateLabel = m_locale.toString(m_today, QStringLiteral(" d. MMM. yyyy"));
    }
    if (m_panel.clockLabel != time || m_panel.dateLabel != m_dateLabel) {
        m_panel.clockLabel = time;
        m_panel.dateLabel = m_dateLabel;
        m_panel.changed();
    }
}

bool Schedule::matches(const Value& timeSlot, const Value& dateSlot, bool daily,
                       const QDateTime& second) {
    const QString time = timeSlot.text().right(8);
    if (time == kNoTime || time != second.toString(kTimeFormat)) {
        return false;
    }
    if (daily) {
        return true;
    }
    const auto date = dateSlot.dateTime();
    return date && date->date() == second.date();
}

void Schedule::evaluate(const QDateTime& second) {
    for (int k = 1; k <= 8; ++k) {
        if (!(m_state.Juhtimine[k] == 1)) {
            continue;
        }
        const bool daily = m_state.Sisseajad(21, k) == 1;
        for (int p = 1; p <= 10; ++p) {
            if (matches(m_state.Sisseajad(2 * p - 1, k), m_state.Sisseajad(2 * p, k), daily,
                        second)) {
                fire(k, p, 1, second);
            }
            if (matches(m_state.Valjaajad(2 * p - 1, k), m_state.Valjaajad(2 * p, k), daily,
                        second)) {
                fire(k, p, 0, second);
            }
        }
    }
}

void Schedule::fire(int output, int entry, int on, const QDateTime& second) {
    // Compared as wall-clock text, so the hour repeated when summer time ends counts as seen.
    QDateTime& last = m_lastFired[static_cast<std::size_t>((output - 1) * 10 + entry - 1)]
                                 [static_cast<std::size_t>(on)];
    const QDateTime wallClock(second.date(), second.time(), Qt::UTC);
    if (last == wallClock) {
        return;
    }
    last = wallClock;
    m_outputs.switchOutput(output, on);
}

}  // namespace kestrum
