#pragma once

#include "control/output_control.h"
#include "core/panel.h"
#include "core/state.h"
#include "core/timer.h"

#include <QLocale>

namespace kestrum {

// The clock labels and the time tables of the outputs under automatic control, checked at
// every tick of Timer1 to the second.
class Schedule {
public:
    Schedule(State& state, Panel& panel, OutputControl& outputs, const Clock& clock, Timer& timer1,
             QLocale locale);

    void Timer1_Timer();

    static constexpr int kTickMs = 10;

private:
    // Whether an entry's time and date slots name this second; a daily entry needs no date.
    bool matches(const Value& timeSlot, const Value& dateSlot, bool daily) const;

    State& m_state;
    Panel& m_panel;
    OutputControl& m_outputs;
    const Clock& m_clock;
    QLocale m_locale;
    QString m_timeNow;
    QDate m_today;
    QString m_dateLabel;
};

}  // namespace kestrum
