#include "support/rig.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

class OutputControlTest : public ::testing::Test {
protected:
    void store(int k, const char* text) {
        rig.memory.write(QStringLiteral("Väljundid"), QStringLiteral("Väljundid %1").arg(k),
                         QString::fromLatin1(text));
    }
    QString stored(int k) const {
        return rig.memory.read(QStringLiteral("Väljundid"), QStringLiteral("Väljundid %1").arg(k),
                               QStringLiteral("<missing>"));
    }
    testing::Rig rig;
    Program& program = rig.build();
};

TEST_F(OutputControlTest, RestoreShowsAndShiftsTheStoredStates) {
    store(1, "1");
    store(2, "0");
    store(3, "");
    store(4, "2");
    Panel& panel = program.panel();
    panel.outputs[3].switchCaption = QStringLiteral("?");
    program.outputs().RestoreOutputStates();

    const State& state = program.state();
    EXPECT_EQ(panel.outputs[0].switchCaption, "V");
    EXPECT_EQ(panel.outputs[0].lampColour, kColourRed);
    EXPECT_EQ(panel.outputs[1].switchCaption, "S");
    EXPECT_EQ(panel.outputs[1].lampColour, kColourGreen);
    EXPECT_TRUE(state.Valjundid[3] == 0) << "an empty stored state is off";
    EXPECT_EQ(state.Valjundid[4].text(), "2") << "an unknown state stays as stored";
    EXPECT_EQ(panel.outputs[3].switchCaption, "?") << "and leaves the indicators alone";
    EXPECT_TRUE(state.Valjundid[8] == 0) << "a missing key is off";
    EXPECT_TRUE(rig.board.relay(1));
    for (int k = 2; k <= 8; ++k) {
        EXPECT_FALSE(rig.board.relay(k)) << k;
    }
}

TEST_F(OutputControlTest, SaveReplacesTheSection) {
    store(9, "1");
    for (int k = 1; k <= 8; ++k) {
        program.state().Valjundid[k] = k % 2;
    }
    program.state().Valjundid[6] = "1";
    program.outputs().SaveOutputStates();
    EXPECT_EQ(stored(1), "1");
    EXPECT_EQ(stored(2), "0");
    EXPECT_EQ(stored(6), "1");
    EXPECT_EQ(stored(9), "<missing>");
}

TEST_F(OutputControlTest, SaveIgnoresAStoreThatFails) {
    store(1, "1");
    rig.memory.failSection(QStringLiteral("Väljundid"));
    program.state().Valjundid[1] = 0;
    program.outputs().SaveOutputStates();
    EXPECT_EQ(stored(1), "1");
}

}  // namespace
}  // namespace kestrum
