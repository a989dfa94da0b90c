#include "schedule.h"

#include "control/entry_timing.h"
#include "core/settings_keys.h"

namespace kestrum {

namespace {
const QString kTimeFormat = QStringLiteral("HH:mm:ss");
// A slot holding midnight is an empty entry as the settings window shows it, never a time.
const QString kNoTime = QStringLiteral("00:00:00");

QString remainingText(qint64 seconds) {
    const QTime left = QTime(0, 0).addSecs(static_cast<int>(seconds % 86400));
    if (seconds >= 86400) {
        return QStringLiteral("24:00:00");
    }
    return left.toString(seconds >= 3600 ? QStringLiteral("H:mm:ss") : QStringLiteral("m:ss"));
}
}  // namespace

Schedule::Schedule(State& state, Panel& panel, SettingsStore& store, OutputControl& outputs,
                   const Clock& clock, Timer& timer1, QLocale locale)
    : m_state(state),
      m_panel(panel),
      m_store(store),
      m_outputs(outputs),
      m_clock(clock),
      m_timer1(timer1),
      m_locale(std::move(locale)) {
    timer1.setOnTick([this] { Timer1_Timer(); });
    m_outputs.setScheduleCatchUp([this] { catchUp(); });
}

void Schedule::Timer1_Timer() {
    const QDateTime now = m_clock.now();
    showClock(now);
    armNextTick(now);
    catchUp();
    showPulses(now);
}

// The tick comes once a second, just after the wall clock's second begins, so an idle program
// wakes once a second; a switching belongs to its second: each second of the wall clock is
// evaluated once. A clock stepped forward (a suspend, a time server) is a hold: the seconds
// it skipped are caught up. A clock set back passes seconds again; an entry never fires twice
// in the same second. Seconds missed while the thread was held (a mail session up to its
// deadline, a slow port) are evaluated late, in order, with their own date, so a switching time
// that fell inside the hold still switches. Nothing before the first tick is caught up.
void Schedule::catchUp() {
    QDateTime now = m_clock.now();
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
    m_timer1.setInterval(1000 - now.time().msec());
}

void Schedule::showClock(const QDateTime& now) {
    const QString time = now.toString(kTimeFormat);
    // The tick is the program's busiest loop: the month name is looked up once a day.
    if (now.date() != m_today) {
        m_today = now.date();
        m_dateLabel = m_locale.toString(m_today, QStringLiteral(" d. MMM. yyyy"));
        refreshSunSlots(m_today, now.timeZone());
    }
    if (m_panel.clockLabel != time || m_panel.dateLabel != m_dateLabel) {
        m_panel.clockLabel = time;
        m_panel.dateLabel = m_dateLabel;
        m_panel.changed();
    }
}

void Schedule::showPulses(const QDateTime& now) {
    bool changed = false;
    for (int k = 1; k <= 8; ++k) {
        const std::optional<QDateTime> end = m_outputs.pulseEnd(k);
        // Rounded up: a pulse of 20 minutes shows 20:00 at its start and 0:01 in its last second.
        const QString remaining = end ? remainingText((now.msecsTo(*end) + 999) / 1000) : QString();
        QString& shown = m_panel.outputs[k - 1].pulseRemaining;
        if (shown != remaining) {
            shown = remaining;
            changed = true;
        }
    }
    if (changed) {
        m_panel.changed();
    }
}

void Schedule::refreshSunSlots(const QDate& today, const QTimeZone& zone) {
    const std::optional<Place> place = placeOf(m_state.Latitude, m_state.Longitude);
    if (!place) {
        return;
    }
    bool changed = false;
    for (int k = 1; k <= 8; ++k) {
        for (int p = 1; p <= 10; ++p) {
            const int e = entryNumber(k, p);
            for (auto [times, slots] : {std::pair{&m_state.PaikeSisse, &m_state.Sisseajad},
                                        std::pair{&m_state.PaikeValja, &m_state.Valjaajad}}) {
                const EntryTime time = EntryTime::fromText((*times)[e].text());
                const std::optional<QDateTime> moment =
                    time.isSun() ? time.on(today, *place, zone, m_sun).moment : std::nullopt;
                Value& slot = (*slots)(2 * p - 1, k);
                if (moment && slot.text().right(8) != moment->toString(kTimeFormat)) {
                    slot = QDateTime(zeroDate(), moment->time());
                    changed = true;
                }
            }
        }
    }
    if (changed) {
        replaceSectionSkippingErrors(m_store, sections::Sisseajad, textsOf(m_state.Sisseajad));
        replaceSectionSkippingErrors(m_store, sections::Valjaajad, textsOf(m_state.Valjaajad));
    }
}

bool Schedule::fires(int k, int p, bool on, const QDateTime& second) {
    const TimeTable<Value>& table = on ? m_state.Sisseajad : m_state.Valjaajad;
    const int e = entryNumber(k, p);
    const Weekdays weekdays = Weekdays::fromText(m_state.Nadalapaevad[e].text());
    const bool daily = m_state.Sisseajad(21, k) == 1;
    const auto onDay = [&](const QDate& day) {
        if (weekdays.limited()) {
            return weekdays.includes(day);
        }
        if (daily) {
            return true;
        }
        const auto date = table(2 * p, k).dateTime();
        return date && date->date() == day;
    };
    const EntryTime time =
        EntryTime::fromText((on ? m_state.PaikeSisse : m_state.PaikeValja)[e].text());
    if (!time.isSun()) {
        const QString clock = table(2 * p - 1, k).text().right(8);
        return clock != kNoTime && clock == second.toString(kTimeFormat) && onDay(second.date());
    }
    const std::optional<Place> place = placeOf(m_state.Latitude, m_state.Longitude);
    if (!place) {
        return false;
    }
    // An offset of up to 12 hours moves a day's sun time into the day before or after it.
    for (int shift = -1; shift <= 1; ++shift) {
        const QDate day = second.date().addDays(shift);
        if (onDay(day)) {
            const std::optional<QDateTime> moment =
                time.on(day, *place, second.timeZone(), m_sun).moment;
            if (moment && *moment == second) {
                return true;
            }
        }
    }
    return false;
}

void Schedule::evaluate(const QDateTime& second) {
    for (int k = 1; k <= 8; ++k) {
        const std::optional<QDateTime> pulseEnd = m_outputs.pulseEnd(k);
        if (pulseEnd && *pulseEnd <= second) {
            m_outputs.endPulse(k);
            m_outputs.switchOutput(k, 0);
        }
        if (!(m_state.Juhtimine[k] == 1)) {
            continue;
        }
        for (int p = 1; p <= 10; ++p) {
            if (fires(k, p, true, second)) {
                fire(k, p, 1, second);
            }
            if (fires(k, p, false, second)) {
                fire(k, p, 0, second);
            }
        }
    }
}

// A switching of the table is the latest word on the output, and ends a pulse that runs.
void Schedule::fire(int output, int entry, int on, const QDateTime& second) {
    // Compared as wall-clock text, so the hour repeated when summer time ends counts as seen.
    QDateTime& last = m_lastFired[static_cast<std::size_t>((output - 1) * 10 + entry - 1)]
                                 [static_cast<std::size_t>(on)];
    const QDateTime wallClock(second.date(), second.time(), Qt::UTC);
    if (last == wallClock) {
        return;
    }
    last = wallClock;
    m_outputs.endPulse(output);
    m_outputs.switchOutput(output, on);
}

}  // namespace kestrum
