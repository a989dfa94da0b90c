#include "mail/mail_test_base.h"

namespace kestrum {
namespace {

const QString kFailure = QStringLiteral("Mailiserverisse sisselogimise viga");

class NotificationsTest : public testing::MailTestBase {
protected:
    NotificationsTest() {
        rig.set("SisendiMuutuseMail", "SisendiMuutuseMail 1", "0");
        rig.set("SisendiMuutuseMail", "SisendiMuutuseMail 5", "1");
        rig.set("SisendiMuutuseMail", "SisendiMuutuseMail 6", "1");
        rig.set("SisendiNimi", "SisendiNimi 1", "Uks");
        rig.set("SisendiNimi", "SisendiNimi 5", "Aken");
        setSeaded("ControlEnabled", "1");
    }
    void scan() { rig.time.advance(110); }
};

// Inputs already active at start-up are changes of the first scan. Each change of a marked
// input is mailed in a session of its own, once.
TEST_F(NotificationsTest, InputChangesOfMarkedInputsAreMailedEachInItsOwnSession) {
    for (int k : {1, 5, 6}) {
        rig.board.setInput(k, true);
    }
    start();
    scan();
    scan();
    ASSERT_EQ(rig.mailbox.sent.size(), 2U);
    EXPECT_EQ(rig.mailbox.sent[0].subject, "Kestrums input changed !");
    EXPECT_EQ(rig.mailbox.sent[0].body,
              "Kestrums input nr.  5 (Aken) is now HIGH\r\nSystem time: 09:30:15 and Date: "
              "06.12.2026\r\nYour Kestrum.\r\n");
    // A notification signs on to send only: it must not need the incoming server.
    EXPECT_EQ(rig.mailbox.calls.count("signOn send"), 2);
    EXPECT_EQ(log().count("Mailiseanss algas"), 2);
    EXPECT_EQ(log().count("Sisend  1 (Uks) on nüüd  1"), 1);

    rig.board.setInput(5, false);
    scan();
    ASSERT_EQ(rig.mailbox.sent.size(), 3U);
    EXPECT_TRUE(rig.mailbox.sent[2].body.startsWith("Kestrums input nr.  5 (Aken) is now LOW\r\n"));
}

TEST_F(NotificationsTest, FailedOutputIsMailedOncePerShift) {
    start();
    rig.board.setFault(3, SimulatedBoard::Fault::StuckOff);
    rig.program->switchClicked(2);
    scan();
    scan();
    ASSERT_EQ(sentSubjects(), QStringList({"Kestrums output failed !"}));
    EXPECT_TRUE(rig.mailbox.sent[0].body.startsWith(
        "Kestrums output nr.  3 (Väljund 3    ) FAILED to switch !\r\n"));
}

TEST_F(NotificationsTest, NoRecipientLogsTheFailureWithoutASession) {
    setSeaded("PrefAdrText", "");
    start();
    rig.board.setFault(2, SimulatedBoard::Fault::StuckOn);
    scan();
    EXPECT_EQ(log(), QStringList({"Väljund: Väljund 2     ei lülitu ümber!", kFailure, ""}));
}

// A change whose mail failed counts as seen, and the failed sign-on leaves no session open
// to refuse the next notification.
TEST_F(NotificationsTest, FailedInputMailCountsTheChangeAsSeen) {
    start();
    rig.mailbox.failAt(testing::MemoryMailbox::Operation::SignOn, "timed out");
    rig.board.setInput(5, true);
    rig.board.setInput(6, true);
    scan();
    EXPECT_EQ(log().count("timed out"), 2);
    EXPECT_EQ(log().count(kFailure), 2) << "logged by the notification and by the scan";
    EXPECT_EQ(rig.mailbox.sent.size(), 1U) << "input 6 is still handled in the same scan";
    rig.time.advance(500);
    EXPECT_EQ(log().filter("Sisend  5").size(), 1) << "no repeat every scan";
}

}  // namespace
}  // namespace kestrum
