#include "support/printers.h"
#include "support/program_on_doubles.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

class StrobeTest : public ::testing::Test {
protected:
    StrobeTest() {
        for (const auto& [section, key, text] : {std::tuple{"Mode", "Mode 1", "0"},
                                                 {"Mode", "Mode 2", "1"},
                                                 {"StroboSees", "StroboSees 1", "100"},
                                                 {"StroboSees", "StroboSees 2", "200"},
                                                 {"StroboVäljas", "StroboVäljas 1", "100"},
                                                 {"StroboVäljas", "StroboVäljas 2", "800"}}) {
            setup.set(section, key, text);
        }
        setup.start();
        setup.board.clearHistory();
    }
    // How long relay 2 stayed in each state, from start-up on.
    std::vector<std::pair<bool, qint64>> relayTwoPhases() const {
        std::vector<std::pair<bool, qint64>> phases;
        bool level = false;
        qint64 since = 0;
        for (const auto& e : setup.board.history()) {
            if (e.kind != SimulatedBoard::Event::Kind::Relays || ((e.relays & 2) != 0) == level) {
                continue;
            }
            phases.emplace_back(level, e.atMs - since);
            level = !level;
            since = e.atMs;
        }
        return phases;
    }

    testing::ProgramOnDoubles setup;
};

TEST_F(StrobeTest, OnAndOffTimesFromOff) {
    setup.time.advance(2500);
    const std::vector<std::pair<bool, qint64>> expected{{false, 200}, {true, 200},  {false, 800},
                                                        {true, 200},  {false, 800}, {true, 200}};
    EXPECT_EQ(relayTwoPhases(), expected);
    EXPECT_EQ(setup.stored("Väljundid", "Väljundid 2"), "0") << "the strobe stores nothing";
}

TEST_F(StrobeTest, ManualClickFlipsAndTheStrobeGoesOnFromThere) {
    setup.time.advance(250);  // on since 200
    setup.program->switchClicked(1);
    EXPECT_FALSE(setup.board.relay(2));
    setup.time.advance(150);  // the on interval ends at 400: it switches on again
    EXPECT_TRUE(setup.board.relay(2));
    setup.time.advance(199);
    EXPECT_TRUE(setup.board.relay(2));
    setup.time.advance(1);
    EXPECT_FALSE(setup.board.relay(2));
}

}  // namespace
}  // namespace kestrum
