#pragma once

#include "control/sun_times.h"
#include "core/value.h"

#include <QString>

#include <array>
#include <optional>

namespace kestrum {

// The number of an output's entry in the per-entry sections: 1..80.
inline int entryNumber(int output, int entry) {
    return 10 * (output - 1) + entry;
}

// The weekdays an entry is limited to, Monday first. All seven is no limit: the entry keeps
// the daily flag and its dates, as in a file without weekdays.
struct Weekdays {
    std::array<bool, 7> days{true, true, true, true, true, true, true};

    // "1111100" for Monday to Friday; anything else is every day, as a file without the key.
    static Weekdays fromText(const QString& text);
    QString text() const;
    bool limited() const;
    bool includes(const QDate& date) const {
        return days[static_cast<std::size_t>(date.dayOfWeek() - 1)];
    }
    // "E, T, K, N, R"; "ühelgi päeval" when none is chosen.
    QString words() const;

    friend bool operator==(const Weekdays&, const Weekdays&) = default;
};

// An entry's on or off time: its clock time, or sunrise or sunset moved by up to 12 hours.
struct EntryTime {
    enum class Kind { Clock, Sunrise, Sunset };
    static constexpr int kLongestOffsetMinutes = 12 * 60;

    Kind kind = Kind::Clock;
    int offsetMinutes = 0;

    // "0" for the clock time, "loojang -00:15", "tõus +01:00"; anything unreadable is the clock
    // time, as a file without the key.
    static EntryTime fromText(const QString& text);
    QString text() const;
    bool isSun() const { return kind != Kind::Clock; }
    // "päikeseloojang -00:15".
    QString words() const;
    // The moment it names on a day of the zone, or why there is none.
    SunOnDay on(const QDate& day, const Place& place, const QTimeZone& zone, SunTimes& sun) const;

    friend bool operator==(const EntryTime&, const EntryTime&) = default;
};

// Why a sun time has no moment on a day, in the words of the time table.
QString noSunTimeWords(SunOnDay::Why why, EntryTime::Kind kind);

}  // namespace kestrum
