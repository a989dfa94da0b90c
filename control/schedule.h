#pragma once

#include "control/output_control.h"
#include "control/sun_times.h"
#include "core/panel.h"
#include "core/settings_store.h"
#include "core/state.h"
#include "core/timer.h"

#include <QLocale>

#include <array>
#include <optional>

namespace kestrum {

// The clock labels, the time tables of the outputs under automatic control and the ends of
// the pulses, checked for every second of the wall clock, each second once.
class Schedule {
public:
    Schedule(State& state, Panel& panel, SettingsStore& store, OutputControl& outputs,
             const Clock& clock, Timer& timer1, QLocale locale);

    void Timer1_Timer();
    // Switches what the seconds since the last evaluated one name, up to now.
    void catchUp();

    // The first tick after the start; every later one is armed for the moment a second of the
    // wall clock begins. A tick that comes early (the wall clock slewed by a time server) finds
    // its second done, and is armed again for the next.
    static constexpr int kTickMs = 10;
    // How far back the seconds missed while the thread was held are still switched.
    static constexpr int kCatchUpSeconds = 120;

private:
    void showClock(const QDateTime& now);
    // Arms the next tick for just after the next second of the wall clock.
    void armNextTick(const QDateTime& now);
    void showPulses(const QDateTime& now);
    // Writes today's sun times into the time slots of the sun entries, so that a program that
    // knows only clock times finds the last computed one there.
    void refreshSunSlots(const QDate& today, const QTimeZone& zone);
    // Switches what the tables name for this second of the wall clock.
    void evaluate(const QDateTime& second);
    // Whether entry p of output k switches on (or off) in this second.
    bool fires(int k, int p, bool on, const QDateTime& second);
    // Fires one entry's on or off switching once per wall-clock second, whatever the clock does.
    void fire(int output, int entry, int on, const QDateTime& second);

    State& m_state;
    Panel& m_panel;
    SettingsStore& m_store;
    OutputControl& m_outputs;
    const Clock& m_clock;
    Timer& m_timer1;
    QLocale m_locale;
    SunTimes m_sun;
    QDate m_today;
    QString m_dateLabel;
    // The last second evaluated, in seconds since the epoch; none before the first tick.
    std::optional<qint64> m_lastEvaluated;
    // The wall-clock second at which each entry last switched on (index 0) or off (index 1):
    // a clock set back passes those seconds again, and they must not switch twice.
    std::array<std::array<QDateTime, 2>, 8 * 10> m_lastFired;
};

}  // namespace kestrum
