#include "support/printers.h"
#include "support/rig.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

class StrobeTest : public ::testing::Test {
protected:
    StrobeTest() {
        rig.memory.write(QStringLiteral("Mode"), QStringLiteral("Mode 1"), QStringLiteral("0"));
        rig.memory.write(QStringLiteral("Mode"), QStringLiteral("Mode 2"), QStringLiteral("1"));
        rig.memory.write(QStringLiteral("StroboSees"), QStringLiteral("StroboSees 1"),
                         QStringLiteral("100"));
        rig.memory.write(QStringLiteral("StroboSees"), QStringLiteral("StroboSees 2"),
                         QStringLiteral("200"));
        rig.memory.write(QStringLiteral("StroboVäljas"), QStringLiteral("StroboVäljas 1"),
                         QStringLiteral("100"));
        rig.memory.write(QStringLiteral("StroboVäljas"), QStringLiteral("StroboVäljas 2"),
                         QStringLiteral("800"));
        rig.start();
        rig.board.clearHistory();
    }
    // How long relay 2 stayed in each state, from start-up on.
    std::vector<std::pair<bool, qint64>> relayTwoPhases() const {
        std::vector<std::pair<bool, qint64>> phases;
        bool level = false;
        qint64 since = 0;
        for (const auto& e : rig.board.history()) {
            if (e.kind != SimulatedBoard::Event::Kind::Relays || ((e.relays & 2) != 0) == level) {
                continue;
            }
            phases.emplace_back(level, e.atMs - since);
            level = !level;
            since = e.atMs;
        }
        return phases;
    }

    testing::Rig rig;
};

TEST_F(StrobeTest, OnAndOffTimesFromOff) {
    rig.time.advance(2500);
    const std::vector<std::pair<bool, qint64>> expected{{false, 200}, {true, 200},  {false, 800},
                                                        {true, 200},  {false, 800}, {true, 200}};
    EXPECT_EQ(relayTwoPhases(), expected);
    EXPECT_EQ(rig.memory.read(QStringLiteral("Väljundid"), QStringLiteral("Väljundid 2")), "0")
        << "the strobe stores nothing";
}

TEST_F(StrobeTest, ManualClickFlipsAndTheStrobeGoesOnFromThere) {
    rig.time.advance(250);  // on since 200
    rig.program->switchClicked(1);
    EXPECT_FALSE(rig.board.relay(2));
    rig.time.advance(150);  // the on interval ends at 400: it switches on again
    EXPECT_TRUE(rig.board.relay(2));
    rig.time.advance(199);
    EXPECT_TRUE(rig.board.relay(2));
    rig.time.advance(1);
    EXPECT_FALSE(rig.board.relay(2));
}

TEST_F(StrobeTest, LeavingStrobeModeStopsTheEffect) {
    rig.program->state().Mode[2] = 0;
    rig.time.advance(1000);
    EXPECT_TRUE(relayTwoPhases().empty());
    EXPECT_TRUE(rig.program->timers().StroboTaimer[1]->isEnabled()) << "it ticks without effect";
}

}  // namespace
}  // namespace kestrum
