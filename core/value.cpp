#include "value.h"

#include <QLocale>

#include <cmath>

namespace kestrum {

namespace {

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
const QString kTimeFormat = QStringLiteral("HH:mm:ss");
// Dates are read without the leading zeros too: a mail command stores "1.1.2027" as written.
const QString kDateReadFormat = QStringLiteral("d.M.yyyy");

std::optional<double> readNumber(const QString& text) {
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(number)) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

QDate zeroDate() {
    return QDate(1899, 12, 30);
}

QString dateTimeText(const QDateTime& moment) {
    if (moment.date() == zeroDate()) {
        return moment.time().toString(kTimeFormat);
    }
    if (moment.time() == QTime(0, 0)) {
        return moment.date().toString(kDateFormat);
    }
    return moment.toString(kDateFormat + QLatin1Char(' ') + kTimeFormat);
}

std::optional<QDateTime> parseDateTimeText(const QString& text) {
    const QString trimmed = text.trimmed();
    const QDateTime both =
        QDateTime::fromString(trimmed, kDateReadFormat + QLatin1Char(' ') + kTimeFormat);
    if (both.isValid()) {
        return both;
    }
    const QDate date = QDate::fromString(trimmed, kDateReadFormat);
    if (date.isValid()) {
        return QDateTime(date, QTime(0, 0));
    }
    const QTime time = QTime::fromString(trimmed, kTimeFormat);
    if (time.isValid()) {
        return QDateTime(zeroDate(), time);
    }
    return std::nullopt;
}

QString signedText(int number) {
    return number < 0 ? QString::number(number) : QLatin1Char(' ') + QString::number(number);
}

QString Value::text() const {
    struct Visitor {
        QString operator()(std::monostate) const { return {}; }
        QString operator()(qint64 n) const { return QString::number(n); }
        QString operator()(double d) const { return QString::number(d, 'g', 15); }
        QString operator()(bool b) const { return b ? QStringLiteral("1") : QStringLiteral("0"); }
        QString operator()(const QString& s) const { return s; }
        QString operator()(const QDateTime& t) const { return dateTimeText(t); }
    };
    return std::visit(Visitor{}, m_data);
}

std::optional<double> Value::number() const {
    struct Visitor {
        std::optional<double> operator()(std::monostate) const { return 0.0; }
        std::optional<double> operator()(qint64 n) const { return static_cast<double>(n); }
        std::optional<double> operator()(double d) const { return d; }
        std::optional<double> operator()(bool b) const { return b ? 1.0 : 0.0; }
        std::optional<double> operator()(const QString& s) const { return readNumber(s); }
        // Days since the zero date, the time of day as the fraction: a time alone is below 1.
        std::optional<double> operator()(const QDateTime& t) const {
            return static_cast<double>(zeroDate().daysTo(t.date())) +
                   t.time().msecsSinceStartOfDay() / 86400000.0;
        }
    };
    return std::visit(Visitor{}, m_data);
}

int Value::toInt() const {
    const auto n = number();
    if (!n || std::fabs(*n) > 2.0e9) {
        return 0;
    }
    return static_cast<int>(std::lround(*n));
}

std::optional<QDateTime> Value::dateTime() const {
    if (const auto* moment = std::get_if<QDateTime>(&m_data)) {
        return *moment;
    }
    if (const auto* text = std::get_if<QString>(&m_data)) {
        return parseDateTimeText(*text);
    }
    return std::nullopt;
}

void Value::append(const QString& more) {
    if (auto* held = std::get_if<QString>(&m_data)) {
        held->append(more);
    } else {
        m_data = text() + more;
    }
}

bool operator==(const Value& a, const Value& b) {
    if (a.isText() && b.isText()) {
        return a.text() == b.text();
    }
    if (a.isEmpty() && b.isText()) {
        return b.text().isEmpty();
    }
    if (a.isText() && b.isEmpty()) {
        return a.text().isEmpty();
    }
    const bool aIsMoment = std::holds_alternative<QDateTime>(a.m_data);
    const bool bIsMoment = std::holds_alternative<QDateTime>(b.m_data);
    if ((aIsMoment && b.isText()) || (bIsMoment && a.isText())) {
        const auto ta = a.dateTime();
        const auto tb = b.dateTime();
        return ta && tb && *ta == *tb;
    }
    const auto na = a.number();
    const auto nb = b.number();
    return na && nb && *na == *nb;
}

}  // namespace kestrum
