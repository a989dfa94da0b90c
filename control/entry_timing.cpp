#include "entry_timing.h"

#include <QRegularExpression>

namespace kestrum {

namespace {
const QString kSunrise = QStringLiteral("tõus");
const QString kSunset = QStringLiteral("loojang");
const std::array<const char*, 7> kDayLetters{"E", "T", "K", "N", "R", "L", "P"};
}  // namespace

Weekdays Weekdays::fromText(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^[01]{7}$"));
    Weekdays weekdays;
    if (form.match(text).hasMatch()) {
        for (std::size_t d = 0; d < 7; ++d) {
            weekdays.days[d] = text[static_cast<qsizetype>(d)] == QLatin1Char('1');
        }
    }
    return weekdays;
}

QString Weekdays::text() const {
    QString text;
    for (bool day : days) {
        text += day ? QLatin1Char('1') : QLatin1Char('0');
    }
    return text;
}

bool Weekdays::limited() const {
    return Weekdays{} != *this;
}

QString Weekdays::words() const {
    QStringList chosen;
    for (std::size_t d = 0; d < 7; ++d) {
        if (days[d]) {
            chosen << QLatin1String(kDayLetters[d]);
        }
    }
    return chosen.isEmpty() ? QStringLiteral("ühelgi päeval") : chosen.join(QStringLiteral(", "));
}

EntryTime EntryTime::fromText(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^(tõus|loojang) ([+-])(\\d\\d):(\\d\\d)$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch()) {
        return {};
    }
    const int minutes = match.captured(3).toInt() * 60 + match.captured(4).toInt();
    if (match.captured(4).toInt() >= 60 || minutes > kLongestOffsetMinutes) {
        return {};
    }
    return {match.captured(1) == kSunrise ? Kind::Sunrise : Kind::Sunset,
            match.captured(2) == QLatin1String("-") ? -minutes : minutes};
}

QString EntryTime::text() const {
    if (!isSun()) {
        return QStringLiteral("0");
    }
    const int minutes = std::abs(offsetMinutes);
    return QStringLiteral("%1 %2%3:%4")
        .arg(kind == Kind::Sunrise ? kSunrise : kSunset,
             offsetMinutes < 0 ? QStringLiteral("-") : QStringLiteral("+"))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString EntryTime::words() const {
    return QStringLiteral("päikese") + text();
}

SunOnDay EntryTime::on(const QDate& day, const Place& place, const QTimeZone& zone,
                       SunTimes& sun) const {
    SunOnDay result =
        sun.on(kind == Kind::Sunrise ? SunEvent::Sunrise : SunEvent::Sunset, day, place, zone);
    if (result.moment) {
        result.moment = result.moment->addSecs(offsetMinutes * 60);
    }
    return result;
}

QString noSunTimeWords(SunOnDay::Why why, EntryTime::Kind kind) {
    switch (why) {
        case SunOnDay::Why::PolarDay:
            return QStringLiteral("päike ei looju täna");
        case SunOnDay::Why::PolarNight:
            return QStringLiteral("päike ei tõuse täna");
        case SunOnDay::Why::NotThisDay:
            return kind == EntryTime::Kind::Sunrise ? QStringLiteral("päike ei tõuse täna")
                                                    : QStringLiteral("päike ei looju täna");
        case SunOnDay::Why::Happens:
            break;
    }
    return {};
}

}  // namespace kestrum
