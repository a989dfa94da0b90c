#include "support/mail_test_base.h"

namespace kestrum {
namespace {

const QString kFailure = QStringLiteral("Mailiserverisse sisselogimise viga");

// The board's read-back under supervision, and what the log and the mails are told of it.
class NotificationsTest : public testing::MailTestBase {
protected:
    NotificationsTest() {
        setup.set("SisendiMuutuseMail", "SisendiMuutuseMail 1", "0");
        setup.set("SisendiMuutuseMail", "SisendiMuutuseMail 5", "1");
        setup.set("SisendiMuutuseMail", "SisendiMuutuseMail 6", "1");
        setup.set("SisendiNimi", "SisendiNimi 1", "Uks");
        setup.set("SisendiNimi", "SisendiNimi 5", "Aken");
        setSeaded("ControlEnabled", "1");
    }
    int entries(const char* output) const {
        return log().count(QStringLiteral("Väljund: Väljund %1     ei lülitu ümber!").arg(output));
    }
    void scan() { setup.time.advance(110); }
};
// The output checks of each scan, whose failures reach the log and the mails the same way.
using SupervisionTest = NotificationsTest;

// Inputs already active at start-up are changes of the first scan. Each change of a marked
// input is mailed in a session of its own, once.
TEST_F(NotificationsTest, InputChangesOfMarkedInputsAreMailedEachInItsOwnSession) {
    for (int k : {1, 5, 6}) {
        setup.board.setInput(k, true);
    }
    start();
    scan();
    scan();
    ASSERT_EQ(setup.mailbox.sent.size(), 2U);
    EXPECT_EQ(setup.mailbox.sent[0].subject, "Kestrums input changed !");
    EXPECT_EQ(setup.mailbox.sent[0].body,
              "Kestrums input nr.  5 (Aken) is now HIGH\r\nSystem time: 09:30:15 and Date: "
              "06.12.2026\r\nYour Kestrum.\r\n");
    // A notification signs on to send only: it must not need the incoming server.
    EXPECT_EQ(setup.mailbox.calls.count("signOn send"), 2);
    EXPECT_EQ(log().count("Sisend  1 (Uks) on nüüd  1"), 1);

    setup.board.setInput(5, false);
    scan();
    ASSERT_EQ(setup.mailbox.sent.size(), 3U);
    EXPECT_TRUE(
        setup.mailbox.sent[2].body.startsWith("Kestrums input nr.  5 (Aken) is now LOW\r\n"));
}

// A change whose mail failed counts as seen, and the failed sign-on leaves no session open
// to refuse the next notification.
TEST_F(NotificationsTest, FailedInputMailCountsTheChangeAsSeen) {
    start();
    setup.mailbox.failAt(testing::MemoryMailbox::Operation::SignOn, "timed out");
    setup.board.setInput(5, true);
    setup.board.setInput(6, true);
    scan();
    EXPECT_EQ(log().count("timed out"), 2);
    EXPECT_EQ(log().count(kFailure), 2) << "logged by the notification and by the scan";
    EXPECT_EQ(setup.mailbox.sent.size(), 1U) << "input 6 is still handled in the same scan";
    setup.time.advance(500);
    EXPECT_EQ(log().filter("Sisend  5").size(), 1) << "no repeat every scan";
}

// Without a recipient a failed output is logged with the mail failure; without mail, alone.
TEST_F(NotificationsTest, WithoutMailOrRecipientOnlyTheLogHearsOfAFailure) {
    setSeaded("PrefAdrText", "");
    start();
    setup.board.setFault(2, SimulatedBoard::Fault::StuckOn);
    scan();
    EXPECT_EQ(log(), QStringList({"Väljund: Väljund 2     ei lülitu ümber!", kFailure, ""}));
    state().MailEnabled = 0;
    setup.board.setFault(4, SimulatedBoard::Fault::StuckOn);
    scan();
    EXPECT_EQ(entries("2") + entries("4"), 3);
    EXPECT_EQ(log().count(kFailure), 1);
}

// Each announcement logs every output failed at the time.
TEST_F(SupervisionTest, FailureIsShownAndAnnouncedOncePerShift) {
    Program& program = start();
    const Panel& panel = program.panel();
    setup.board.setFault(3, SimulatedBoard::Fault::StuckOff);
    setup.board.setFault(5, SimulatedBoard::Fault::StuckOn);
    program.switchClicked(2);
    scan();
    scan();
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(panel.outputs[k - 1].failureShown, k == 3 || k == 5) << k;
    }
    EXPECT_EQ(panel.failureLabel, "Hardware failure");
    EXPECT_EQ(entries("3"), 2);
    ASSERT_EQ(sentSubjects(),
              QStringList({"Kestrums output failed !", "Kestrums output failed !"}));
    EXPECT_TRUE(setup.mailbox.sent[0].body.startsWith(
        "Kestrums output nr.  3 (Väljund 3    ) FAILED to switch !\r\n"));

    setup.board.setFault(5, SimulatedBoard::Fault::None);
    program.switchClicked(7);  // any shift announces a persisting failure again
    scan();
    EXPECT_EQ(entries("3"), 3);
    EXPECT_FALSE(panel.outputs[4].failureShown);

    setup.board.setFault(3, SimulatedBoard::Fault::None);
    scan();
    EXPECT_EQ(panel.failureLabel, "");
    setup.board.setFault(3, SimulatedBoard::Fault::StuckOff);
    scan();
    EXPECT_TRUE(panel.outputs[2].failureShown);
    EXPECT_EQ(entries("3"), 3) << "a failure back before the next shift is shown, not told";

    state().ControlEnabled = 0;  // off: the indicators stay as they were
    setup.board.setFault(3, SimulatedBoard::Fault::None);
    program.board().ShiftOutputs();
    scan();
    EXPECT_TRUE(panel.outputs[2].failureShown);
}

// A strobe toggle is no new command: a failure that persists beside a strobing output is told
// once, not at every toggle. A stored "1" matching the read-back is no failure.
TEST_F(SupervisionTest, StrobeBesideAFailedOutputAnnouncesItOnce) {
    setup.set("Mode", "Mode 1", "0");  // the key whose absence would have the section completed
    setup.set("Mode", "Mode 2", "1");
    setup.set("Väljundid", "Väljundid 1", "1");
    setup.set("Väljundid", "Väljundid 3", "1");
    setup.board.setFault(1, SimulatedBoard::Fault::StuckOff);
    start();
    ASSERT_TRUE(state().Valjundid[3].isText());
    int latches = 0;
    setup.board.setOnRelaysLatched([&latches] { ++latches; });
    setup.time.advance(60 * 1000);
    EXPECT_EQ(entries("1"), 1);
    EXPECT_EQ(entries("3"), 0);
    EXPECT_EQ(sentSubjects().size(), 1);
    EXPECT_GT(latches, 500) << "output 2 strobed all the while";
}

}  // namespace
}  // namespace kestrum
