#include "support/printers.h"
#include "support/rig.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

const QDate kToday(2026, 12, 5);

class ScheduleTest : public ::testing::Test {
protected:
    ScheduleTest() {
        rig.time.setWallClock(QDateTime(kToday, QTime(7, 59, 59)));
        for (int k = 1; k <= 8; ++k) {
            state.Juhtimine[k] = 1;
        }
    }
    // Runs the clock to just before the given time of today.
    void runUntil(const QTime& time) {
        rig.time.advance(rig.time.now().msecsTo(QDateTime(kToday, time)) - 1);
    }
    void onEntry(int k, int p, const Value& time, const Value& date) {
        state.Sisseajad(2 * p - 1, k) = time;
        state.Sisseajad(2 * p, k) = date;
    }
    void offEntry(int k, int p, const Value& time, const Value& date) {
        state.Valjaajad(2 * p - 1, k) = time;
        state.Valjaajad(2 * p, k) = date;
    }
    int latches() const {
        const auto& h = rig.board.history();
        return static_cast<int>(std::count_if(h.begin(), h.end(), [](const auto& e) {
            return e.kind == SimulatedBoard::Event::Kind::Relays;
        }));
    }

    testing::Rig rig;
    Program& program = rig.start();
    State& state = program.state();
};

TEST_F(ScheduleTest, DailyEntryIgnoresDates) {
    state.Sisseajad(21, 2) = "1";
    onEntry(2, 1, "08:00:00", "01.01.2001");
    offEntry(2, 1, "08:00:10", 0);
    for (int day = 0; day < 2; ++day) {
        runUntil(QTime(8, 0, 0));
        EXPECT_FALSE(rig.board.relay(2));
        rig.time.advance(Schedule::kTickMs);
        EXPECT_TRUE(rig.board.relay(2));
        EXPECT_EQ(rig.memory.read(QStringLiteral("Väljundid"), QStringLiteral("Väljundid 2")), "1");
        runUntil(QTime(8, 0, 10));
        EXPECT_TRUE(rig.board.relay(2));
        rig.time.advance(Schedule::kTickMs);
        EXPECT_FALSE(rig.board.relay(2));
        rig.time.setWallClock(QDateTime(kToday, QTime(7, 59, 0)));  // the next day, same times
    }
}

TEST_F(ScheduleTest, DatedEntryFiresOnItsDayOnly) {
    onEntry(3, 4, "08:00:05", "05.12.2026");  // as a mail command stores it
    onEntry(4, 1, QDateTime(QDate(1899, 12, 30), QTime(8, 0, 5)),
            QDateTime(kToday, QTime(0, 0)));  // as the settings window stores it
    onEntry(5, 1, "08:00:05", "06.12.2026");
    onEntry(6, 1, "08:00:05", "not a date");
    runUntil(QTime(8, 0, 6));
    EXPECT_TRUE(rig.board.relay(3));
    EXPECT_TRUE(rig.board.relay(4));
    EXPECT_FALSE(rig.board.relay(5));
    EXPECT_FALSE(rig.board.relay(6));
}

TEST_F(ScheduleTest, EqualOnAndOffTimesEndOff) {
    onEntry(1, 2, "08:00:01", "05.12.2026");
    offEntry(1, 2, "05.12.2026 08:00:01", "05.12.2026 08:00:01");
    runUntil(QTime(8, 0, 1));
    rig.board.clearHistory();
    rig.time.advance(1000);
    EXPECT_FALSE(rig.board.relay(1));
    EXPECT_EQ(latches(), 2 * 100) << "on and off at each of the second's hundred ticks";
    EXPECT_TRUE(state.Valjundid[1] == 0);
}

TEST_F(ScheduleTest, SameTimeTwiceSwitchesTwiceInOneTick) {
    state.Sisseajad(21, 7) = 1;
    onEntry(7, 1, "08:00:00", 0);
    onEntry(7, 2, "08:00:00", 0);
    runUntil(QTime(8, 0, 0));
    rig.board.clearHistory();
    rig.time.advance(Schedule::kTickMs);
    EXPECT_EQ(latches(), 2);
}

TEST_F(ScheduleTest, ManualOutputsAndMidnightNeverFire) {
    state.Juhtimine[1] = 0;
    state.Sisseajad(21, 1) = 1;
    onEntry(1, 1, "08:00:00", 0);
    state.Sisseajad(21, 2) = 1;
    onEntry(2, 1, "00:00:00", 0);
    rig.time.setWallClock(QDateTime(kToday, QTime(23, 59, 59)));
    rig.time.advance(1000);
    EXPECT_FALSE(rig.board.relay(2)) << "midnight is no time";
    rig.time.setWallClock(QDateTime(kToday, QTime(7, 59, 59)));
    rig.time.advance(2000);
    EXPECT_FALSE(rig.board.relay(1)) << "a manual output is not switched";
}

TEST_F(ScheduleTest, ClockAndDateLabels) {
    rig.time.advance(Schedule::kTickMs);
    EXPECT_EQ(program.panel().clockLabel, "07:59:59");
    EXPECT_EQ(program.panel().dateLabel, " 5. Dec. 2026") << "the C locale of the rig";

    testing::Rig estonian;
    estonian.locale = QLocale(QLocale::Estonian, QLocale::Estonia);
    estonian.time.setWallClock(QDateTime(kToday, QTime(12, 0)));
    estonian.start();
    estonian.time.advance(Schedule::kTickMs);
    EXPECT_EQ(estonian.program->panel().dateLabel, " 5. dets. 2026");
}

}  // namespace
}  // namespace kestrum
