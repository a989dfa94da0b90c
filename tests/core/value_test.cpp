#include "core/value.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(ValueTest, ComparesAsTheStoreAndTheWindowsNeed) {
    const struct {
        Value value;
        Value other;
        bool equal;
    } cases[] = {
        {Value(), 0, true},
        {Value(), QString(), true},
        {Value(), 1, false},
        {Value(), "0", false},  // the empty value is the empty text, not the text 0
        {"1", 1, true},
        {1, "1", true},
        {" 3", 3, true},  // signed text form
        {"0.5", 0.5, true},
        {"1", 0, false},
        {"x", 0, false},
        {"", 0, false},                                 // the empty text is no number
        {"1", "01", false},                             // two texts compare as texts
        {QDateTime(zeroDate(), QTime(0, 0)), 0, true},  // an empty picker is no moment
        {QDateTime(zeroDate(), QTime(0, 0, 1)), 0, false},
        {QDateTime(QDate(2000, 1, 1), QTime(0, 0)), 0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value == c.other, c.equal)
            << c.value.text().toStdString() << " == " << c.other.text().toStdString();
    }
}

TEST(ValueTest, DateTimeTextReadsBackAsTheSameValue) {
    const struct {
        QDateTime moment;
        QString text;
    } cases[] = {
        {QDateTime(QDate(2026, 12, 5), QTime(8, 0, 10)), "05.12.2026 08:00:10"},
        {QDateTime(QDate(2007, 1, 1), QTime(0, 0)), "01.01.2007"},
        {QDateTime(zeroDate(), QTime(23, 59, 59)), "23:59:59"},
        // A slot's time must end with hh:mm:ss even at midnight.
        {QDateTime(zeroDate(), QTime(0, 0)), "00:00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Value(c.moment).text(), c.text);
        const Value stored(c.text);
        ASSERT_TRUE(stored.dateTime().has_value()) << c.text.toStdString();
        EXPECT_EQ(*stored.dateTime(), c.moment) << c.text.toStdString();
        EXPECT_TRUE(stored == Value(c.moment));
    }
    EXPECT_FALSE(Value("0").dateTime().has_value());
    EXPECT_FALSE(Value("31.02.2026").dateTime().has_value());
}

}  // namespace
}  // namespace kestrum
