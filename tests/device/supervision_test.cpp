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
    int failureEntries() const { return log().filter(QStringLiteral("ei lülitu ümber!")).size(); }
    void scan() { rig.time.advance(110); }
};

TEST_F(SupervisionTest, FailureIsShownAndAnnouncedOncePerShift) {
    Program& program = start();
    rig.board.setFault(3, SimulatedBoard::Fault::StuckOff);
    program.switchClicked(2);
    scan();
    const Panel& panel = program.panel();
    EXPECT_TRUE(panel.outputs[2].failureShown);
    EXPECT_EQ(panel.failureLabel, "Hardware failure");
    EXPECT_EQ(panel.failureLabelColour, kColourRed);
    EXPECT_EQ(failureEntries(), 1);
    scan();
    scan();
    EXPECT_EQ(failureEntries(), 1);

    program.switchClicked(7);  // any shift announces a persisting failure again
    scan();
    EXPECT_EQ(failureEntries(), 2);
    EXPECT_TRUE(panel.outputs[2].failureShown) << "output 8 is fine, output 3 keeps it red";
    EXPECT_EQ(panel.failureLabel, "Hardware failure");

    rig.board.setFault(3, SimulatedBoard::Fault::None);
    scan();
    EXPECT_FALSE(panel.outputs[2].failureShown);
    EXPECT_EQ(panel.failureLabel, "");
    EXPECT_EQ(panel.failureLabelColour, kColourGreen);
    rig.board.setFault(3, SimulatedBoard::Fault::StuckOff);
    scan();
    EXPECT_TRUE(panel.outputs[2].failureShown);
    EXPECT_EQ(failureEntries(), 2) << "a failure back before the next shift is shown, not told";
}

// A strobe toggle is no new command: a failure that persists beside a strobing output is told
// once, not at every toggle.
TEST_F(SupervisionTest, StrobeBesideAFailedOutputAnnouncesItOnce) {
    setSeaded("MailEnabled", "1");
    for (int k = 1; k <= 8; ++k) {
        rig.memory.write(QStringLiteral("Mode"), QStringLiteral("Mode %1").arg(k),
                         QLatin1String(k == 2 ? "1" : "0"));
    }
    rig.memory.write(QStringLiteral("Väljundid"), QStringLiteral("Väljundid 1"),
                     QStringLiteral("1"));
    rig.board.setFault(1, SimulatedBoard::Fault::StuckOff);
    start();
    int latches = 0;
    rig.board.setOnRelaysLatched([&latches] { ++latches; });
    rig.time.advance(60 * 1000);
    EXPECT_EQ(failureEntries(), 1);
    EXPECT_EQ(sentSubjects().size(), 1);
    EXPECT_GT(latches, 500) << "output 2 strobed all the while";
}

TEST_F(SupervisionTest, TwoFailuresInOneScanLogBothTwice) {
    Program& program = start();
    rig.board.setFault(2, SimulatedBoard::Fault::StuckOn);
    rig.board.setFault(5, SimulatedBoard::Fault::StuckOn);
    program.board().ShiftOutputs();
    scan();
    EXPECT_EQ(log().filter(QStringLiteral("Väljund: Väljund 2     ei lülitu ümber!")).size(), 2);
    EXPECT_EQ(log().filter(QStringLiteral("Väljund: Väljund 5     ei lülitu ümber!")).size(), 2);
}

TEST_F(SupervisionTest, StoredTextOneMatchingReadBackIsNoFailure) {
    rig.memory.write(QStringLiteral("Väljundid"), QStringLiteral("Väljundid 1"),
                     QStringLiteral("1"));
    Program& program = start();
    ASSERT_TRUE(program.state().Valjundid[1].isText());
    scan();
    EXPECT_FALSE(program.panel().outputs[0].failureShown);
    EXPECT_EQ(failureEntries(), 0);
}

TEST_F(SupervisionTest, OffSupervisionLeavesTheIndicatorsAsTheyWere) {
    Program& program = start();
    rig.board.setFault(4, SimulatedBoard::Fault::StuckOn);
    scan();
    ASSERT_TRUE(program.panel().outputs[3].failureShown);
    program.state().ControlEnabled = 0;
    rig.board.setFault(4, SimulatedBoard::Fault::None);
    program.board().ShiftOutputs();
    scan();
    EXPECT_TRUE(program.panel().outputs[3].failureShown);
    EXPECT_TRUE(program.state().OutputFailed[4] == 0) << "cleared by the shift";
}

TEST_F(SupervisionTest, InputsActiveAtStartAreChangesOfTheFirstScan) {
    rig.board.setInput(2, true);
    start();
    scan();
    EXPECT_EQ(log().filter(QStringLiteral("Sisend  2")).size(), 1);
    scan();
    EXPECT_EQ(log().filter(QStringLiteral("Sisend  2")).size(), 1);
}

}  // namespace
}  // namespace kestrum
