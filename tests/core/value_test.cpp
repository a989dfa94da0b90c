#include "core/value.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(ValueTest, EmptyEqualsZeroAndTheEmptyText) {
    const Value never;
    EXPECT_TRUE(never == 0);
    EXPECT_TRUE(never == QString());
    EXPECT_TRUE(never == Value());
    EXPECT_FALSE(never == 1);
    EXPECT_FALSE(never == "0") << "an empty value is the empty text, not the text 0";
}

TEST(ValueTest, TextThatReadsAsNumberEqualsTheNumber) {
    EXPECT_TRUE(Value("1") == 1);
    EXPECT_TRUE(Value(1) == Value("1"));
    EXPECT_TRUE(Value("100") == 100);
    EXPECT_TRUE(Value(" 3") == 3) << "signed text form";
    EXPECT_TRUE(Value("0.5") == 0.5);
    EXPECT_FALSE(Value("1") == 0);
    EXPECT_FALSE(Value("x") == 0);
    EXPECT_FALSE(Value("") == 0) << "the empty text is no number";
    EXPECT_FALSE(Value("1") == "01") << "two texts compare as texts";
}

TEST(ValueTest, TextFormIsWhatTheStoreGets) {
    EXPECT_EQ(Value(1).text(), "1");
    EXPECT_EQ(Value(0).text(), "0");
    EXPECT_EQ(Value(true).text(), "1");
    EXPECT_EQ(Value(2.5).text(), "2.5");
    EXPECT_EQ(Value().text(), "");
    EXPECT_EQ(Value("Väljund  1").text(), "Väljund  1");
}

TEST(ValueTest, ToIntOfValuesThatAreNotNumbersIsZero) {
    EXPECT_EQ(Value("4").toInt(), 4);
    EXPECT_EQ(Value("abc").toInt(), 0);
    EXPECT_EQ(Value().toInt(), 0);
    EXPECT_EQ(Value("1e30").toInt(), 0);
}

TEST(ValueTest, DateTimeTextForms) {
    const QDateTime both(QDate(2026, 12, 5), QTime(8, 0, 10));
    EXPECT_EQ(Value(both).text(), "05.12.2026 08:00:10");
    EXPECT_EQ(Value(QDateTime(QDate(2026, 12, 5), QTime(0, 0))).text(), "05.12.2026");
    EXPECT_EQ(Value(QDateTime(zeroDate(), QTime(7, 5, 0))).text(), "07:05:00");
    EXPECT_EQ(Value(QDateTime(zeroDate(), QTime(0, 0))).text(), "00:00:00")
        << "a slot's time must end with hh:mm:ss even at midnight";
}

TEST(ValueTest, DateTimeTextReadsBackAsTheSameValue) {
    const QDateTime moments[] = {
        QDateTime(QDate(2026, 12, 5), QTime(8, 0, 10)),
        QDateTime(QDate(2007, 1, 1), QTime(0, 0)),
        QDateTime(zeroDate(), QTime(23, 59, 59)),
        QDateTime(zeroDate(), QTime(0, 0)),
    };
    for (const QDateTime& moment : moments) {
        const Value stored(Value(moment).text());
        ASSERT_TRUE(stored.dateTime().has_value()) << stored.text().toStdString();
        EXPECT_EQ(*stored.dateTime(), moment) << stored.text().toStdString();
        EXPECT_TRUE(stored == Value(moment));
    }
    EXPECT_FALSE(Value("0").dateTime().has_value());
    EXPECT_TRUE(Value(QDateTime(zeroDate(), QTime(0, 0))) == 0) << "an empty picker is no moment";
    EXPECT_FALSE(Value(QDateTime(zeroDate(), QTime(0, 0, 1))) == 0);
    EXPECT_FALSE(Value(QDateTime(QDate(2000, 1, 1), QTime(0, 0))) == 0);
    EXPECT_FALSE(Value("31.02.2026").dateTime().has_value());
}

TEST(ValueTest, SignedTextHasTheSignPosition) {
    EXPECT_EQ(signedText(3), " 3");
    EXPECT_EQ(signedText(168), " 168");
    EXPECT_EQ(signedText(-2), "-2");
}

}  // namespace
}  // namespace kestrum
