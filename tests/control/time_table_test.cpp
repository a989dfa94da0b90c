#include "control/entry_timing.h"
#include "control/sun_times.h"
#include "support/printers.h"
#include "support/program_on_doubles.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

const QTimeZone kTallinn("Europe/Tallinn");
const Place kTallinnPlace{59.437, 24.7536};
const Place kTromso{69.65, 18.96};

// Published sunsets of Tallinn (local clock time, to the minute): the figures must hold within
// a minute. North of the Arctic circle the sun does not rise at midwinter (for midsummer, see
// the time table's polar test).
TEST(SunTimesTest, SunsetsAgreeWithPublishedTablesAndPolarDaysHaveNone) {
    const struct {
        Place place;
        QDate day;
        QTime published;  // invalid: none that day
        SunOnDay::Why why;
    } cases[] = {
        {kTallinnPlace, QDate(2026, 6, 21), QTime(22, 43), SunOnDay::Why::Happens},
        {kTallinnPlace, QDate(2026, 12, 21), QTime(15, 21), SunOnDay::Why::Happens},
        {kTromso, QDate(2026, 12, 21), QTime(), SunOnDay::Why::PolarNight},
    };
    for (const auto& c : cases) {
        const SunOnDay sunset = sunOnDay(SunEvent::Sunset, c.day, c.place, kTallinn);
        EXPECT_EQ(sunset.why, c.why) << c.day.toString().toStdString();
        ASSERT_EQ(sunset.moment.has_value(), c.published.isValid());
        if (sunset.moment) {
            const QDateTime published(c.day, c.published, kTallinn);
            EXPECT_LE(std::abs(sunset.moment->secsTo(published)), 60)
                << sunset.moment->toString().toStdString();
        }
    }
}

TEST(EntryTimingTest, StoredFormsReadBackAndAnythingElseIsTheOldBehaviour) {
    EXPECT_EQ(EntryTime::fromText("loojang -00:15"), (EntryTime{EntryTime::Kind::Sunset, -15}));
    EXPECT_EQ(EntryTime::fromText("tõus +12:00"), (EntryTime{EntryTime::Kind::Sunrise, 720}));
    for (const char* clock : {"0", "", "loojang -12:01", "tõus +01:60", "loojang 00:15"}) {
        EXPECT_FALSE(EntryTime::fromText(clock).isSun()) << clock;
    }
    EXPECT_EQ(EntryTime::fromText(EntryTime{EntryTime::Kind::Sunset, -75}.text()).offsetMinutes,
              -75);
    EXPECT_FALSE(Weekdays::fromText("11111").limited());
    EXPECT_FALSE(Weekdays::fromText("1111111").limited());
    EXPECT_EQ(Weekdays::fromText("1111100").words(), "E, T, K, N, R");
}

class TimeTableTest : public ::testing::Test {
protected:
    TimeTableTest() {
        setup.time.setWallClock(QDateTime(QDate(2026, 6, 21), QTime(5, 0), kTallinn));
        setup.start();
    }
    State& state() { return setup.program->state(); }
    // Runs the clock of the program from just before a moment to just after it.
    void passThrough(const QDateTime& moment) {
        setup.time.setWallClock(moment.addSecs(-2));
        setup.time.advance(3000);
    }
    void clockEntry(int k, int p, const char* on, const char* off, const char* weekdays) {
        state().Juhtimine[k] = 1;
        state().Sisseajad(2 * p - 1, k) = on;
        state().Valjaajad(2 * p - 1, k) = off;
        state().Nadalapaevad[entryNumber(k, p)] = weekdays;
    }

    testing::ProgramOnDoubles setup;
};

// A heater at 06:30 on weekdays and 08:00 at weekends, switched off daily at 06:00: each entry
// fires on its own days only, whatever its date and the daily flag say.
TEST_F(TimeTableTest, WeekdayEntriesFireOnlyOnTheirDays) {
    clockEntry(2, 1, "06:30:00", "0", "1111100");
    clockEntry(2, 2, "08:00:00", "0", "0000011");
    clockEntry(2, 3, "0", "06:00:00", "1111111");
    state().Sisseajad(21, 2) = 1;
    const QDate monday(2026, 6, 22);
    for (int d = 0; d < 7; ++d) {
        const QDate day = monday.addDays(d);
        passThrough(QDateTime(day, QTime(6, 0), kTallinn));
        passThrough(QDateTime(day, QTime(6, 30), kTallinn));
        EXPECT_EQ(setup.board.relay(2), d < 5) << "06:30 on " << d;
        passThrough(QDateTime(day, QTime(8, 0), kTallinn));
        EXPECT_TRUE(setup.board.relay(2)) << "08:00 on " << d;
    }
}

// Lights from sunset -00:15 to 23:00 at Tallinn: the on time follows the sun from day to day,
// and the old slot holds the last computed time for a program that knows only clock times.
TEST_F(TimeTableTest, SunsetEntryFollowsTheSunAndLeavesItsTimeInTheOldSlot) {
    state().Latitude = "59.437";
    state().Longitude = "24.7536";
    clockEntry(4, 1, "01:00:00", "23:00:00", "1111111");
    state().Sisseajad(21, 4) = 1;
    state().PaikeSisse[entryNumber(4, 1)] = "loojang -00:15";
    for (const QDate day : {QDate(2026, 6, 21), QDate(2026, 12, 21)}) {
        const QDateTime on = *sunOnDay(SunEvent::Sunset, day, kTallinnPlace, kTallinn).moment;
        setup.time.setWallClock(QDateTime(day, QTime(1, 0), kTallinn).addSecs(-2));
        setup.time.advance(3000);
        EXPECT_FALSE(setup.board.relay(4)) << "the clock time in the slot is not the sun's";
        setup.time.setWallClock(on.addSecs(-15 * 60 - 3));
        setup.time.advance(2500);
        EXPECT_FALSE(setup.board.relay(4)) << "half a second early";
        setup.time.advance(1000);
        EXPECT_TRUE(setup.board.relay(4));
        EXPECT_EQ(setup.stored("Sisseajad", "Sisseaeg 64"),
                  on.addSecs(-15 * 60).toString("HH:mm:ss"));
        passThrough(QDateTime(day, QTime(23, 0), kTallinn));
        EXPECT_FALSE(setup.board.relay(4));
    }
}

// Above the Arctic circle a sunset entry does not fire at midsummer, and the time table
// says why.
TEST_F(TimeTableTest, PolarDayAndNightFireNothingAndTheTableSaysWhy) {
    state().Latitude = "69.65";
    state().Longitude = "18.96";
    state().PrefAdrText = "owner@example.org";
    state().PaikeSisse[entryNumber(1, 1)] = "loojang +00:00";
    state().PaikeValja[entryNumber(1, 1)] = "tõus +00:00";
    clockEntry(1, 1, "01:00:00", "02:00:00", "1111111");
    state().Sisseajad(21, 1) = 1;
    for (int hour = 0; hour < 24; ++hour) {
        passThrough(QDateTime(QDate(2026, 6, 21), QTime(hour, 59, 59), kTallinn));
    }
    EXPECT_FALSE(setup.board.relay(1));
    setup.mailbox.deliver("tuulelipp", "owner@example.org", "[AJAD]");
    state().MailEnabled = 1;
    setup.program->mailIndicatorClicked();
    ASSERT_EQ(setup.mailbox.sent.size(), 1U);
    EXPECT_TRUE(setup.mailbox.sent[0].body.contains(
        "1: sisse - päikeseloojang +00:00 (päike ei looju täna)iga päev\r\n"
        "välja - päikesetõus +00:00 (päike ei looju täna)iga päev\r\n"))
        << setup.mailbox.sent[0].body.toStdString();
}

// A pump on for 20 minutes: the end is stored, so a restart before it still switches off at
// the end and a restart after it switches off at start-up; the remaining time is on the panel.
TEST_F(TimeTableTest, APulseOutlivesARestartAndEndsOnTime) {
    const QDateTime start = setup.time.now();
    ASSERT_TRUE(setup.program->outputs().startPulse(3, 20));
    setup.time.advance(10);
    EXPECT_TRUE(setup.board.relay(3));

    for (const int restartAfterMinutes : {10, 30}) {
        testing::ProgramOnDoubles restarted;
        restarted.store = &setup.memory;
        restarted.time.setWallClock(start.addSecs(restartAfterMinutes * 60));
        restarted.start();
        restarted.time.advance(10);
        if (restartAfterMinutes == 10) {
            EXPECT_TRUE(restarted.board.relay(3));
            EXPECT_EQ(restarted.program->panel().outputs[2].pulseRemaining, "10:00");
            restarted.time.advance(10 * 60 * 1000 - 1000);
            EXPECT_TRUE(restarted.board.relay(3));
            EXPECT_EQ(restarted.program->panel().outputs[2].pulseRemaining, "0:01");
            restarted.time.advance(1000);
        }
        EXPECT_FALSE(restarted.board.relay(3)) << restartAfterMinutes;
        EXPECT_EQ(restarted.program->panel().outputs[2].pulseRemaining, "");
        EXPECT_EQ(setup.memory.read("PulsiLõpp", "PulsiLõpp 3"), "0");
        setup.memory.write("PulsiLõpp", "PulsiLõpp 3", state().PulsiLopp[3].text());
        setup.memory.write("Väljundid", "Väljundid 3", "1");
    }
}

// Switching the output by hand or all off ends its pulse: the end then switches nothing.
TEST_F(TimeTableTest, APulseEndedByHandSwitchesNothingAtItsEnd) {
    for (const bool allOff : {false, true}) {
        setup.program->outputs().startPulse(5, 1);
        if (allOff) {
            setup.program->allOffClicked();
        } else {
            setup.program->switchClicked(4);
        }
        EXPECT_EQ(setup.memory.read("PulsiLõpp", "PulsiLõpp 5"), "0");
        setup.program->switchClicked(4);
        setup.time.advance(2 * 60 * 1000);
        EXPECT_TRUE(setup.board.relay(5)) << "switched on by hand after the pulse: stays on";
        setup.program->switchClicked(4);
    }
}

}  // namespace
}  // namespace kestrum
