#include "support/printers.h"
#include "support/program_on_doubles.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

const QDate kToday(2026, 12, 5);

class ScheduleTest : public ::testing::Test {
protected:
    ScheduleTest() {
        setup.time.setWallClock(QDateTime(kToday, QTime(7, 59, 59)));
        for (int k = 1; k <= 8; ++k) {
            state.Juhtimine[k] = 1;
        }
        setup.board.setOnRelaysLatched([this] { ++latches; });
    }
    // Runs the clock to just before the given time of the day it shows.
    void runUntil(const QTime& time) {
        setup.time.advance(setup.time.now().msecsTo(QDateTime(setup.time.now().date(), time)) - 1);
    }
    void entry(int k, int p, const Value& onTime, const Value& onDate, const Value& offTime = 0,
               const Value& offDate = 0) {
        state.Sisseajad(2 * p - 1, k) = onTime;
        state.Sisseajad(2 * p, k) = onDate;
        state.Valjaajad(2 * p - 1, k) = offTime;
        state.Valjaajad(2 * p, k) = offDate;
    }

    testing::ProgramOnDoubles setup;
    Program& program = setup.start();
    State& state = program.state();
    // Counted as they happen: a long run outgrows the board's history.
    int latches = 0;
};

// A switching belongs to its second, not to each tick that shows it; a daily entry
// ignores its date.
TEST_F(ScheduleTest, DailyEntrySwitchesOnceInItsSecondEveryDay) {
    state.Sisseajad(21, 2) = "1";
    entry(2, 1, "08:00:00", "01.01.2001", "08:00:10", 0);
    for (int day = 0; day < 2; ++day) {
        runUntil(QTime(8, 0, 0));
        EXPECT_FALSE(setup.board.relay(2));
        latches = 0;
        const int writes = setup.memory.writeCount();
        setup.time.advance(1000);
        EXPECT_TRUE(setup.board.relay(2));
        EXPECT_EQ(latches, 1);
        EXPECT_EQ(setup.memory.writeCount() - writes, 8)
            << "one rewrite of the eight stored states";
        EXPECT_EQ(setup.stored("Väljundid", "Väljundid 2"), "1");
        runUntil(QTime(8, 0, 10));
        setup.time.advance(Schedule::kTickMs);
        EXPECT_FALSE(setup.board.relay(2));
        setup.time.setWallClock(QDateTime(kToday.addDays(1), QTime(7, 59, 0)));
    }
}

TEST_F(ScheduleTest, EqualTimesSwitchInOrderInOneTick) {
    entry(1, 3, "08:00:02", "05.12.2026", "05.12.2026 08:00:02", "05.12.2026 08:00:02");
    state.Sisseajad(21, 8) = 1;
    entry(8, 1, "08:00:02", 0);
    entry(8, 2, "08:00:02", 0);
    runUntil(QTime(8, 0, 2));
    latches = 0;
    setup.time.advance(Schedule::kTickMs);
    EXPECT_FALSE(setup.board.relay(1)) << "equal on and off times end off";
    EXPECT_TRUE(setup.board.relay(8));
    EXPECT_EQ(latches, 4);
}

// A manual output is never switched by its times.
TEST_F(ScheduleTest, DatedEntryFiresOnItsCalendarDayOnly) {
    const QDate newYear(2027, 1, 1);
    const struct {
        Value date;
        bool fires;
    } cases[] = {
        {"01.01.2027", true},                     // as a mail command or the store gives it
        {"1.1.2027", true},                       // as a mail command may give it
        {QDateTime(newYear, QTime(0, 0)), true},  // as the settings window keeps it
        {"02.01.2027", false},
        {"1.1.27", false},
        {"32.1.2027", false},
        {"not a date", false},
        {"01.01.2027", false},  // output 8, manual
    };
    state.Juhtimine[8] = 0;
    setup.time.setWallClock(QDateTime(newYear, QTime(8, 0, 4)));
    for (int k = 1; k <= 8; ++k) {
        entry(k, 1, "08:00:05", cases[k - 1].date);
    }
    setup.time.advance(2000);
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(setup.board.relay(k), cases[k - 1].fires) << k;
    }
}

// A mail session holds the thread up to its deadline; the switching times that fell inside it
// are switched when it ends.
TEST_F(ScheduleTest, TimesMissedWhileTheThreadWasHeldSwitchLate) {
    entry(1, 1, "08:00:20", "05.12.2026");
    entry(2, 1, 0, 0, "08:00:10", "05.12.2026");
    entry(2, 2, "08:00:25", "05.12.2026");
    runUntil(QTime(8, 0, 0));
    setup.mailbox.onOperation = [this](testing::MemoryMailbox::Operation operation) {
        if (operation == testing::MemoryMailbox::Operation::SignOn) {
            setup.time.hold(30 * 1000);
        }
    };
    program.mailIndicatorClicked();
    setup.time.advance(Schedule::kTickMs);
    EXPECT_TRUE(setup.board.relay(1)) << "on time 08:00:20 fell inside the hold";
    EXPECT_TRUE(setup.board.relay(2)) << "off at 08:00:10, then on at 08:00:25, in order";
}

// The wall clock stepped by a time server or a resume while the tick waits for its next second:
// forward, the seconds skipped switch once each in order; back, the seconds passed again switch
// nothing a second time.
TEST_F(ScheduleTest, ClockSteppedForwardCatchesUpAndSteppedBackFiresNothingTwice) {
    entry(1, 1, "08:00:05", "05.12.2026", "08:00:20", "05.12.2026");
    entry(2, 1, "08:00:30", "05.12.2026");
    state.Sisseajad(21, 3) = 1;
    entry(3, 1, "08:00:12", 0);
    setup.time.advance(1500);
    latches = 0;
    setup.time.setWallClock(setup.time.now().addSecs(30));
    setup.time.advance(1000);
    EXPECT_EQ(program.panel().clockLabel, "08:00:31");
    EXPECT_EQ(latches, 4) << "on 1, on 3, off 1, on 2: each once";
    EXPECT_FALSE(setup.board.relay(1));
    EXPECT_TRUE(setup.board.relay(2));
    EXPECT_TRUE(setup.board.relay(3));

    latches = 0;
    setup.time.setWallClock(setup.time.now().addSecs(-30));
    setup.time.advance(40 * 1000);
    EXPECT_EQ(latches, 0);
    EXPECT_EQ(program.panel().clockLabel, "08:00:41");
}

TEST_F(ScheduleTest, CatchUpReachesTwoMinutesBackAndNotBeforeStartUp) {
    entry(1, 1, "07:59:58", "05.12.2026");  // before start-up at 07:59:59
    entry(2, 1, "08:01:00", "05.12.2026");  // more than two minutes before the jump's end
    entry(3, 1, "08:02:00", "05.12.2026");
    setup.time.advance(Schedule::kTickMs);
    setup.time.setWallClock(QDateTime(kToday, QTime(8, 3, 30)));
    setup.time.advance(1000);
    EXPECT_FALSE(setup.board.relay(1));
    EXPECT_FALSE(setup.board.relay(2));
    EXPECT_TRUE(setup.board.relay(3));
}

TEST_F(ScheduleTest, MidnightIsNoTime) {
    state.Sisseajad(21, 2) = 1;
    entry(2, 1, "00:00:00", 0);
    setup.time.setWallClock(QDateTime(kToday, QTime(23, 59, 59)));
    setup.time.advance(1000);
    EXPECT_FALSE(setup.board.relay(2));
}

TEST_F(ScheduleTest, ClockAndDateLabels) {
    setup.time.advance(Schedule::kTickMs);
    EXPECT_EQ(program.panel().clockLabel, "07:59:59");
    EXPECT_EQ(program.panel().dateLabel, " 5. Dec. 2026") << "the C locale of the setup";
    setup.time.advance(1000);
    EXPECT_EQ(program.panel().clockLabel, "08:00:00");

    testing::ProgramOnDoubles estonian;
    estonian.locale = QLocale(QLocale::Estonian, QLocale::Estonia);
    estonian.start();
    estonian.time.advance(Schedule::kTickMs);
    EXPECT_EQ(estonian.program->panel().dateLabel, " 6. dets. 2026");
}

}  // namespace
}  // namespace kestrum
