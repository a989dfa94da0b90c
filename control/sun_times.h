#pragma once

#include "core/value.h"

#include <QDateTime>
#include <QTimeZone>

#include <map>
#include <optional>
#include <tuple>

namespace kestrum {

// Where the sun times are worked out for, in decimal degrees, north and east positive.
struct Place {
    double latitude = 0;
    double longitude = 0;

    friend bool operator==(const Place&, const Place&) = default;
};

// The place the general settings hold; none when either value is missing or out of range.
std::optional<Place> placeOf(const Value& latitude, const Value& longitude);

enum class SunEvent { Sunrise, Sunset };

// The sun's rise or set on one local calendar day, or why there is none.
struct SunOnDay {
    enum class Why {
        Happens,
        PolarDay,    // above the horizon all day
        PolarNight,  // below it all day
        NotThisDay,  // it rises (or sets) only just after midnight, on the next day
    };
    std::optional<QDateTime> moment;
    Why why = Why::Happens;
};

// The moment of sunrise or sunset at a place on a local day, to the second.
SunOnDay sunOnDay(SunEvent event, const QDate& day, const Place& place, const QTimeZone& zone);

// The same, remembered: the schedule asks for the same days every second. The day is that of
// the zone of the clock that asks.
class SunTimes {
public:
    SunOnDay on(SunEvent event, const QDate& day, const Place& place, const QTimeZone& zone);

private:
    std::map<std::tuple<int, qint64, double, double, QByteArray>, SunOnDay> m_known;
};

}  // namespace kestrum
