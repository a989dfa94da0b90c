#include "mail/mail_test_base.h"
#include "support/printers.h"

namespace kestrum {
namespace {

class SupervisionTest : public testing::MailTestBase {
protected:
    SupervisionTest() {
        setSeaded("MailEnabled", "0");
        setSeaded("ControlEnabled", "1");
    }
    int entries(const char* output) const {
        return log().count(QStringLiteral("Väljund: Väljund %1     ei lülitu ümber!").arg(output));
    }
    void scan() { rig.time.advance(110); }
};

TEST_F(SupervisionTest, FailureIsShownAndAnnouncedOncePerShift) {
    Program& program = start();
    rig.board.setFault(3, SimulatedBoard::Fault::StuckOff);
    rig.board.setFault(5, SimulatedBoard::Fault::StuckOn);
    program.switchClicked(2);
    scan();
    const Panel& panel = program.panel();
    EXPECT_TRUE(panel.outputs[2].failureShown);
    EXPECT_TRUE(panel.outputs[4].failureShown);
    EXPECT_FALSE(panel.outputs[3].failureShown);
    EXPECT_EQ(panel.failureLabel, "Hardware failure");
    EXPECT_EQ(panel.failureLabelColour, kColourRed);
    // Both failures of the scan, each logged for both.
    EXPECT_EQ(entries("3"), 2);
    EXPECT_EQ(entries("5"), 2);
    scan();
    scan();
    EXPECT_EQ(entries("3"), 2);

    rig.board.setFault(5, SimulatedBoard::Fault::None);
    program.switchClicked(7);  // any shift announces a persisting failure again
    scan();
    EXPECT_EQ(entries("3"), 3);
    EXPECT_FALSE(panel.outputs[4].failureShown);
    EXPECT_TRUE(panel.outputs[2].failureShown) << "output 8 is fine, output 3 keeps it red";

    rig.board.setFault(3, SimulatedBoard::Fault::None);
    scan();
    EXPECT_FALSE(panel.outputs[2].failureShown);
    EXPECT_EQ(panel.failureLabel, "");
    EXPECT_EQ(panel.failureLabelColour, kColourGreen);
    rig.board.setFault(3, SimulatedBoard::Fault::StuckOff);
    scan();
    EXPECT_TRUE(panel.outputs[2].failureShown);
    EXPECT_EQ(entries("3"), 3) << "a failure back before the next shift is shown, not told";

    program.state().ControlEnabled = 0;  // off: the indicators stay as they were
    rig.board.setFault(3, SimulatedBoard::Fault::None);
    program.board().ShiftOutputs();
    scan();
    EXPECT_TRUE(panel.outputs[2].failureShown);
}

// A strobe toggle is no new command: a failure that persists beside a strobing output is told
// once, not at every toggle. A stored "1" matching the read-back is no failure.
TEST_F(SupervisionTest, StrobeBesideAFailedOutputAnnouncesItOnce) {
    setSeaded("MailEnabled", "1");
    for (int k = 1; k <= 8; ++k) {
        rig.set("Mode", QStringLiteral("Mode %1").arg(k), k == 2 ? "1" : "0");
    }
    rig.set("Väljundid", "Väljundid 1", "1");
    rig.set("Väljundid", "Väljundid 3", "1");
    rig.board.setFault(1, SimulatedBoard::Fault::StuckOff);
    start();
    ASSERT_TRUE(rig.program->state().Valjundid[3].isText());
    int latches = 0;
    rig.board.setOnRelaysLatched([&latches] { ++latches; });
    rig.time.advance(60 * 1000);
    EXPECT_EQ(entries("1"), 1);
    EXPECT_EQ(entries("3"), 0);
    EXPECT_EQ(sentSubjects().size(), 1);
    EXPECT_GT(latches, 500) << "output 2 strobed all the while";
}

TEST_F(SupervisionTest, InputsActiveAtStartAreChangesOfTheFirstScan) {
    rig.board.setInput(2, true);
    start();
    scan();
    scan();
    EXPECT_EQ(log().filter("Sisend  2").size(), 1);
}

}  // namespace
}  // namespace kestrum
