#include "support/printers.h"
#include "support/program_on_doubles.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

class ManualControlTest : public ::testing::Test {
protected:
    ManualControlTest() { setup.ui.messages.clear(); }

    testing::ProgramOnDoubles setup;
    Program& program = setup.start();
    State& state = program.state();
    Panel& panel = program.panel();
};

TEST_F(ManualControlTest, SwitchButtonTogglesShiftsStoresAndMakesManual) {
    state.Juhtimine[3] = 1;
    panel.outputs[2].autoLampLit = true;
    program.switchClicked(2);
    EXPECT_EQ(panel.outputs[2].switchCaption, "V");
    EXPECT_EQ(panel.outputs[2].lampColour, kColourRed);
    EXPECT_TRUE(setup.board.relay(3));
    EXPECT_EQ(setup.stored("Väljundid", "Väljundid 3"), "1");
    EXPECT_TRUE(state.Juhtimine[3] == 0);
    EXPECT_FALSE(panel.outputs[2].autoLampLit);

    state.Valjundid[3] = "7";  // neither on nor off: a click switches it off
    program.switchClicked(2);
    EXPECT_EQ(panel.outputs[2].switchCaption, "S");
    EXPECT_FALSE(setup.board.relay(3));
    EXPECT_EQ(setup.stored("Väljundid", "Väljundid 3"), "0");
}

// Auto without times sends the user to the settings window; once times are there, auto
// toggles with manual, stored at once.
TEST_F(ManualControlTest, AutoNeedsSwitchingTimesAndTogglesWithManual) {
    program.autoClicked(4);
    EXPECT_EQ(setup.ui.calls.last(), "settings");
    ASSERT_EQ(setup.ui.messages.size(), 1U);
    EXPECT_EQ(setup.ui.messages[0].text,
              "Automaatreziimi siirdumiseks peavad sisse- ja väljalülitumisajad olema "
              "defineeritud. Jätkan käsitsijuhtimisel!");
    EXPECT_EQ(setup.ui.messages[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(panel.outputs[4].autoLampLit);

    setup.ui.messages.clear();
    setup.ui.whileSettingsOpen = [&] { state.Initsialiseeritud[5] = 1; };
    ASSERT_TRUE(program.outputs().startPulse(5, 20));
    program.autoClicked(4);
    EXPECT_FALSE(program.outputs().pulseEnd(5)) << "the schedule is its master now";
    EXPECT_TRUE(setup.ui.messages.empty());
    EXPECT_TRUE(panel.outputs[4].autoLampLit);
    EXPECT_EQ(setup.stored("Juhtimine", "Juhtimine 5"), "1");
    program.autoClicked(4);
    EXPECT_FALSE(panel.outputs[4].autoLampLit);
    EXPECT_EQ(setup.stored("Juhtimine", "Juhtimine 5"), "0");
}

TEST_F(ManualControlTest, AllOffStopsEverythingButKeepsTheStoredStates) {
    setup.set("Seaded", "MailEnabled", "1");
    for (int k : {1, 4, 8}) {
        program.switchClicked(k - 1);
    }
    state.Mode[4] = 1;
    state.Juhtimine[8] = 1;
    state.OutputFailed[2] = 1;
    program.timers().StroboTaimer[3]->setInterval(100);
    program.timers().StroboTaimer[3]->setEnabled(true);

    program.allOffClicked();
    for (int k = 1; k <= 8; ++k) {
        EXPECT_FALSE(setup.board.relay(k)) << k;
        EXPECT_TRUE(state.Mode[k] == 0 && state.Juhtimine[k] == 0);
        EXPECT_EQ(panel.outputs[k - 1].switchCaption, "S");
        EXPECT_FALSE(program.timers().StroboTaimer[k - 1]->isEnabled());
    }
    EXPECT_EQ(setup.seaded("MailEnabled"), "0");
    EXPECT_TRUE(state.OutputFailed[2] == 1) << "failure flags are left alone";
    setup.time.advance(16 * 60 * 1000);
    EXPECT_TRUE(setup.mailbox.calls.isEmpty()) << "no mail is fetched after all-off";
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(setup.stored("Väljundid", QStringLiteral("Väljundid %1").arg(k)),
                  k == 1 || k == 4 || k == 8 ? "1" : "0");
    }
}

TEST_F(ManualControlTest, AllOffTriesTheOtherPortForThisRunOnly) {
    program.switchClicked(0);
    setup.board.setPortAvailable(1, false);
    program.allOffClicked();
    EXPECT_FALSE(setup.board.relay(1)) << "the frame went out on port 2";
    EXPECT_EQ(setup.board.commPort(), 2);
    EXPECT_EQ(panel.portLabel, "2");
    EXPECT_EQ(setup.seaded("Järjestikport"), "1");

    setup.board.setPortAvailable(2, false);
    program.allOffClicked();  // neither port: goes on silently
    EXPECT_EQ(setup.board.commPort(), 1);
    EXPECT_TRUE(setup.ui.messages.empty());
}

}  // namespace
}  // namespace kestrum
