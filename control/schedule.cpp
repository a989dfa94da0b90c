#include "schedule.h"

namespace kestrum {

namespace {
// A slot holding midnight is an empty entry as the settings window shows it, never a time.
const QString kNoTime = QStringLiteral("00:00:00");
}  // namespace

Schedule::Schedule(State& state, Panel& panel, OutputControl& outputs, const Clock& clock,
                   Timer& timer1, QLocale locale)
    : m_state(state),
      m_panel(panel),
      m_outputs(outputs),
      m_clock(clock),
      m_locale(std::move(locale)) {
    timer1.setOnTick([this] { Timer1_Timer(); });
}

bool Schedule::matches(const Value& timeSlot, const Value& dateSlot, bool daily) const {
    const QString time = timeSlot.text().right(8);
    if (time != m_timeNow || time == kNoTime) {
        return false;
    }
    if (daily) {
        return true;
    }
    const auto date = dateSlot.dateTime();
    return date && date->date() == m_today;
}

void Schedule::Timer1_Timer() {
    const QDateTime now = m_clock.now();
    m_timeNow = now.toString(QStringLiteral("HH:mm:ss"));
    // The tick is the program's busiest loop: the month name is looked up once a day.
    if (now.date() != m_today) {
        m_today = now.date();
        m_dateLabel = m_locale.toString(m_today, QStringLiteral(" d. MMM. yyyy"));
    }
    if (m_panel.clockLabel != m_timeNow || m_panel.dateLabel != m_dateLabel) {
        m_panel.clockLabel = m_timeNow;
        m_panel.dateLabel = m_dateLabel;
        m_panel.changed();
    }

    for (int k = 1; k <= 8; ++k) {
        if (!(m_state.Juhtimine[k] == 1)) {
            continue;
        }
        const bool daily = m_state.Sisseajad(21, k) == 1;
        for (int p = 1; p <= 10; ++p) {
            if (matches(m_state.Sisseajad(2 * p - 1, k), m_state.Sisseajad(2 * p, k), daily)) {
                m_outputs.switchOutput(k, 1);
            }
            if (matches(m_state.Valjaajad(2 * p - 1, k), m_state.Valjaajad(2 * p, k), daily)) {
                m_outputs.switchOutput(k, 0);
            }
        }
    }
}

}  // namespace kestrum
