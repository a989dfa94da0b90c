#include "mail/mail_test_base.h"

namespace kestrum {
namespace {

class SupervisionTest : public testing::MailTestBase {
protected:
    SupervisionTest() { setSeaded("ControlEnabled", "1"); }
    int entries(const char* output) const {
        return log().count(QStringLiteral("Väljund: Väljund %1     ei lülitu ümber!").arg(output));
    }
    void scan() { rig.time.advance(110); }
};

// Each announcement logs every output failed at the time; without mail only the log hears.
TEST_F(SupervisionTest, FailureIsShownAndAnnouncedOncePerShift) {
    setSeaded("MailEnabled", "0");
    Program& program = start();
    const Panel& panel = program.panel();
    rig.board.setFault(3, SimulatedBoard::Fault::StuckOff);
    rig.board.setFault(5, SimulatedBoard::Fault::StuckOn);
    program.switchClicked(2);
    scan();
    scan();
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(panel.outputs[k - 1].failureShown, k == 3 || k == 5) << k;
    }
    EXPECT_EQ(panel.failureLabel, "Hardware failure");
    EXPECT_EQ(entries("3"), 2);
    EXPECT_EQ(entries("5"), 2);
    EXPECT_TRUE(rig.mailbox.calls.isEmpty());

    rig.board.setFault(5, SimulatedBoard::Fault::None);
    program.switchClicked(7);  // any shift announces a persisting failure again
    scan();
    EXPECT_EQ(entries("3"), 3);
    EXPECT_FALSE(panel.outputs[4].failureShown);

    rig.board.setFault(3, SimulatedBoard::Fault::None);
    scan();
    EXPECT_EQ(panel.failureLabel, "");
    rig.board.setFault(3, SimulatedBoard::Fault::StuckOff);
    scan();
    EXPECT_TRUE(panel.outputs[2].failureShown);
    EXPECT_EQ(entries("3"), 3) << "a failure back before the next shift is shown, not told";

    state().ControlEnabled = 0;  // off: the indicators stay as they were
    rig.board.setFault(3, SimulatedBoard::Fault::None);
    program.board().ShiftOutputs();
    scan();
    EXPECT_TRUE(panel.outputs[2].failureShown);
}

// A strobe toggle is no new command: a failure that persists beside a strobing output is told
// once, not at every toggle. A stored "1" matching the read-back is no failure.
TEST_F(SupervisionTest, StrobeBesideAFailedOutputAnnouncesItOnce) {
    for (int k = 1; k <= 8; ++k) {
        rig.set("Mode", QStringLiteral("Mode %1").arg(k), k == 2 ? "1" : "0");
    }
    rig.set("Väljundid", "Väljundid 1", "1");
    rig.set("Väljundid", "Väljundid 3", "1");
    rig.board.setFault(1, SimulatedBoard::Fault::StuckOff);
    start();
    ASSERT_TRUE(state().Valjundid[3].isText());
    int latches = 0;
    rig.board.setOnRelaysLatched([&latches] { ++latches; });
    rig.time.advance(60 * 1000);
    EXPECT_EQ(entries("1"), 1);
    EXPECT_EQ(entries("3"), 0);
    EXPECT_EQ(sentSubjects().size(), 1);
    EXPECT_GT(latches, 500) << "output 2 strobed all the while";
}

}  // namespace
}  // namespace kestrum
