#pragma once

#include "control/output_control.h"
#include "core/panel.h"
#include "core/state.h"
#include "core/timer.h"

#include <QLocale>

#include <array>
#include <optional>

namespace kestrum {

// The clock labels and the time tables of the outputs under automatic control, checked for
// every second of the wall clock, each second once.
class Schedule {
public:
    Schedule(State& state, Panel& panel, OutputControl& outputs, const Clock& clock, Timer& timer1,
             QLocale locale);

    void Timer1_Timer();

    // The first tick after the start; every later one comes just after a second of the wall
    // clock begins, kTickAfterSecondMs into it.
    static constexpr int kTickMs = 10;
    static constexpr int kTickAfterSecondMs = 5;
    // How far back the seconds missed while the thread was held are still switched.
    static constexpr int kCatchUpSeconds = 120;

private:
    void showClock(const QDateTime& now);
    // Arms the next tick for just after the next second of the wall clock.
    void armNextTick(const QDateTime& now);
    // Switches what the tables name for this second of the wall clock.
    void evaluate(const QDateTime& second);
    // Whether an entry's time and date slots name this second; a daily entry needs no date.
    static bool matches(const Value& timeSlot, const Value& dateSlot, bool daily,
                        const QDateTime& second);
    // Fires one entry's on or off switching once per wall-clock second, whatever the clock does.
    void fire(int output, int entry, int on, const QDateTime& second);

    State& m_state;
    Panel& m_panel;
    OutputControl& m_outputs;
    const Clock& m_clock;
    Timer& m_timer1;
    QLocale m_locale;
    QDate m_today;
    QString m_dateLabel;
    // The last second evaluated, in seconds since the epoch; none before the first tick.
    std::optional<qint64> m_lastEvaluated;
    // The wall-clock second at which each entry last switched on (index 0) or off (index 1):
    // a clock set back passes those seconds again, and they must not switch twice.
    std::array<std::array<QDateTime, 2>, 8 * 10> m_lastFired;
};

}  // namespace kestrum
