#include "mail/mail_test_base.h"
#include "support/printers.h"

namespace kestrum {
namespace {

const QString kFailure = QStringLiteral("Mailiserverisse sisselogimise viga");

class NotificationsTest : public testing::MailTestBase {
protected:
    NotificationsTest() {
        for (const auto& [key, text] : {std::pair{"SisendiMuutuseMail 1", "0"},
                                        {"SisendiMuutuseMail 5", "1"},
                                        {"SisendiMuutuseMail 6", "1"}}) {
            rig.set("SisendiMuutuseMail", key, text);
        }
        rig.set("SisendiNimi", "SisendiNimi 1", "Uks");
        rig.set("SisendiNimi", "SisendiNimi 5", "Aken");
        setSeaded("ControlEnabled", "1");
    }
    void scan() { rig.time.advance(110); }
};

TEST_F(NotificationsTest, InputChangesOfMarkedInputsAreMailedEachInItsOwnSession) {
    start();
    rig.board.setInput(5, true);
    rig.board.setInput(6, true);
    rig.board.setInput(1, true);
    scan();
    ASSERT_EQ(rig.mailbox.sent.size(), 2U);
    EXPECT_EQ(rig.mailbox.sent[0].subject, "Kestrums input changed !");
    EXPECT_EQ(rig.mailbox.sent[0].body,
              "Kestrums input nr.  5 (Aken) is now HIGH\r\nSystem time: 09:30:15 and Date: "
              "06.12.2026\r\nYour Kestrum.\r\n");
    // A notification signs on to send only: it must not need the incoming server.
    EXPECT_EQ(rig.mailbox.calls.count("signOn send"), 2);
    EXPECT_EQ(log().count("Mailiseanss algas"), 2);
    EXPECT_TRUE(log().contains("Sisend  1 (Uks) on nüüd  1"));

    rig.board.setInput(5, false);
    rig.mailbox.sent.clear();
    scan();
    ASSERT_EQ(rig.mailbox.sent.size(), 1U);
    EXPECT_TRUE(rig.mailbox.sent[0].body.startsWith("Kestrums input nr.  5 (Aken) is now LOW\r\n"));
}

TEST_F(NotificationsTest, FailedOutputIsLoggedAndMailedOncePerShift) {
    start();
    rig.board.setFault(3, SimulatedBoard::Fault::StuckOff);
    rig.program->switchClicked(2);
    scan();
    scan();
    ASSERT_EQ(rig.mailbox.sent.size(), 1U);
    EXPECT_EQ(rig.mailbox.sent[0].subject, "Kestrums output failed !");
    EXPECT_TRUE(rig.mailbox.sent[0].body.startsWith(
        "Kestrums output nr.  3 (Väljund 3    ) FAILED to switch !\r\n"));
    EXPECT_EQ(log().filter("ei lülitu ümber!").size(), 1);
}

TEST_F(NotificationsTest, WithoutMailOnlyTheLogHearsOfIt) {
    setSeaded("MailEnabled", "0");
    start();
    rig.board.setFault(2, SimulatedBoard::Fault::StuckOn);
    scan();
    EXPECT_TRUE(rig.mailbox.calls.isEmpty());
    EXPECT_EQ(log().filter("Väljund: Väljund 2     ei lülitu ümber!").size(), 1);
}

TEST_F(NotificationsTest, NoRecipientLogsTheFailureWithoutASession) {
    setSeaded("PrefAdrText", "");
    start();
    rig.board.setFault(2, SimulatedBoard::Fault::StuckOn);
    scan();
    const QStringList lines = log();
    const auto failed = lines.indexOf("Väljund: Väljund 2     ei lülitu ümber!");
    ASSERT_GE(failed, 0);
    EXPECT_EQ(lines.mid(failed + 1, 2), QStringList({kFailure, ""}));
    EXPECT_FALSE(lines.contains("Mailiseanss algas"));
}

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
