#include "support/printers.h"
#include "support/rig.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

QString key(int k) {
    return QStringLiteral("Väljundid %1").arg(k);
}

TEST(OutputControlTest, RestoreShowsAndShiftsTheStoredStates) {
    testing::Rig rig;
    Program& program = rig.build();
    for (const auto& [k, text] : {std::pair{1, "1"}, {2, "0"}, {3, ""}, {4, "2"}}) {
        rig.set("Väljundid", key(k), QString::fromLatin1(text));
    }
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
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(rig.board.relay(k), k == 1) << k;
    }
}

TEST(OutputControlTest, SaveReplacesTheSectionAndIgnoresAStoreThatFails) {
    testing::Rig rig;
    Program& program = rig.build();
    rig.set("Väljundid", key(9), "1");
    for (int k = 1; k <= 8; ++k) {
        program.state().Valjundid[k] = k % 2;
    }
    program.state().Valjundid[6] = "1";
    program.outputs().SaveOutputStates();
    EXPECT_EQ(rig.stored("Väljundid", key(1)), "1");
    EXPECT_EQ(rig.stored("Väljundid", key(2)), "0");
    EXPECT_EQ(rig.stored("Väljundid", key(6)), "1");
    EXPECT_EQ(rig.stored("Väljundid", key(9)), "<missing>");

    rig.memory.failSection("Väljundid");
    program.state().Valjundid[1] = 0;
    program.outputs().SaveOutputStates();
    EXPECT_EQ(rig.stored("Väljundid", key(1)), "1");
}

}  // namespace
}  // namespace kestrum
