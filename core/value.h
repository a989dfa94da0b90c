#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <variant>

namespace kestrum {

// The loosely typed value that every program-wide variable holds. Settings arrive as texts,
// the program mostly assigns integers, and both must compare alike: an empty value equals 0
// and the empty text, and a text that reads as a number equals that number ("1" == 1).
class Value {
public:
    Value() = default;
    Value(int number) : m_data(qint64{number}) {}
    Value(qint64 number) : m_data(number) {}
    Value(double number) : m_data(number) {}
    Value(bool flag) : m_data(flag) {}
    Value(const QString& text) : m_data(text) {}
    Value(const char* text) : m_data(QString::fromUtf8(text)) {}
    Value(const QDateTime& moment) : m_data(moment) {}

    bool isEmpty() const { return std::holds_alternative<std::monostate>(m_data); }
    bool isText() const { return std::holds_alternative<QString>(m_data); }

    // The form written to the settings store and shown in texts.
    QString text() const;
    // The numeric value, when there is one: empty gives 0, a text only when it reads as a number,
    // a date-time its days since the zero date.
    std::optional<double> number() const;
    // The number rounded to an integer; 0 when the value is not numeric.
    int toInt() const;
    // The date-time held, or read from a text in the text form written by text().
    std::optional<QDateTime> dateTime() const;

    // Makes the value the text it was with `more` behind it, growing a held text in place, so
    // that many appends cost time linear in the result.
    void append(const QString& more);

    friend bool operator==(const Value& a, const Value& b);

private:
    std::variant<std::monostate, qint64, double, bool, QString, QDateTime> m_data;
};

// The day that a time of day without a date belongs to.
QDate zeroDate();
// The text form of a date-time: "dd.MM.yyyy HH:mm:ss", the date alone at midnight, the time
// alone on the zero date.
QString dateTimeText(const QDateTime& moment);
std::optional<QDateTime> parseDateTimeText(const QString& text);

// A non-negative number with the blank of its sign position in front (" 3"), as used in
// captions, log lines and settings keys.
QString signedText(int number);

}  // namespace kestrum
