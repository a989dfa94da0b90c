#include "sun_times.h"

#include <libnova/julian_day.h>
#include <libnova/precession.h>
#include <libnova/rise_set.h>
#include <libnova/solar.h>

#include <cmath>

namespace kestrum {

namespace {

constexpr double kUnixEpochJulianDay = 2440587.5;
constexpr double kSecondsPerDay = 86400.0;
// A table over years would keep every day asked for; a few days are all the schedule needs.
constexpr std::size_t kKnownDays = 64;

double julianDay(const QDateTime& moment) {
    return kUnixEpochJulianDay +
           static_cast<double>(moment.toMSecsSinceEpoch()) / 1000.0 / kSecondsPerDay;
}

QDateTime momentOf(double julian, const QTimeZone& zone) {
    const auto seconds = std::llround((julian - kUnixEpochJulianDay) * kSecondsPerDay);
    return QDateTime::fromSecsSinceEpoch(seconds, zone);
}

// libnova gives the sun's place against the equinox of J2000; its rise and set work with the
// sidereal time of date. Unprecessed, the sun stands a quarter of a degree behind after 25
// years and every rise and set comes a minute and a half early: precessed to date, they agree
// with the published tables to seconds.
void sunOfDate(double julian, ln_equ_posn* position) {
    ln_equ_posn j2000{};
    ln_get_solar_equ_coords(julian, &j2000);
    ln_get_equ_prec(&j2000, julian, position);
}

}  // namespace

std::optional<Place> placeOf(const Value& latitude, const Value& longitude) {
    if (latitude.text().isEmpty() || longitude.text().isEmpty()) {
        return std::nullopt;
    }
    const std::optional<double> north = latitude.number();
    const std::optional<double> east = longitude.number();
    if (!north || !east || std::abs(*north) > 90 || std::abs(*east) > 180) {
        return std::nullopt;
    }
    return Place{*north, *east};
}

SunOnDay sunOnDay(SunEvent event, const QDate& day, const Place& place, const QTimeZone& zone) {
    ln_lnlat_posn observer{place.longitude, place.latitude};
    ln_rst_time times{};
    // Events in the 24 hours from the local midnight: on a day of a clock change one hour more
    // or less, and an event outside the calendar day is not the day's.
    const QDateTime midnight(day, QTime(0, 0), zone);
    const int found = ln_get_body_next_rst_horizon(julianDay(midnight), &observer, sunOfDate,
                                                   LN_SOLAR_STANDART_HORIZON, &times);
    if (found == 1) {
        return {std::nullopt, SunOnDay::Why::PolarDay};
    }
    if (found == -1) {
        return {std::nullopt, SunOnDay::Why::PolarNight};
    }
    const QDateTime moment = momentOf(event == SunEvent::Sunrise ? times.rise : times.set, zone);
    if (moment.date() != day) {
        return {std::nullopt, SunOnDay::Why::NotThisDay};
    }
    return {moment, SunOnDay::Why::Happens};
}

SunOnDay SunTimes::on(SunEvent event, const QDate& day, const Place& place, const QTimeZone& zone) {
    const auto key = std::tuple(static_cast<int>(event), day.toJulianDay(), place.latitude,
                                place.longitude, zone.id());
    const auto known = m_known.find(key);
    if (known != m_known.end()) {
        return known->second;
    }
    if (m_known.size() >= kKnownDays) {
        m_known.clear();
    }
    return m_known.emplace(key, sunOnDay(event, day, place, zone)).first->second;
}

}  // namespace kestrum
