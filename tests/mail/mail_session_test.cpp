#include "mail/mail_test_base.h"
#include "support/printers.h"

namespace kestrum {
namespace {

using testing::MemoryMailbox;

const QString kFailure = QStringLiteral("Mailiserverisse sisselogimise viga");
const QString kSignedOff = QStringLiteral("Mailiserverist edukalt välja logitud");
const QString kSeparator = QStringLiteral("---------------------");

class MailSessionTest : public testing::MailTestBase {
protected:
    MailSessionTest() { setSeaded("PrefAdrText1", "second@example.org"); }
    int sessions() const { return static_cast<int>(rig.mailbox.calls.count("signOn download")); }
};

TEST_F(MailSessionTest, FirstCheckComesOneFullPeriodAfterStartUp) {
    for (const char* period : {"0", "2"}) {
        testing::Rig fresh;
        fresh.memory.write("Seaded", "MailEnabled", QStringLiteral("1"));
        fresh.memory.write("Seaded", "MailCheckInt", QString::fromLatin1(period));
        fresh.start();
        const int minutes = period[0] == '0' ? 5 : 15;
        fresh.time.advance(minutes * 60000 - 1);
        EXPECT_TRUE(fresh.mailbox.calls.isEmpty()) << minutes;
        fresh.time.advance(1);
        EXPECT_EQ(fresh.mailbox.calls.count("signOn download"), 1) << minutes;
        fresh.time.advance(minutes * 60000);
        EXPECT_EQ(fresh.mailbox.calls.count("signOn download"), 2) << minutes;
    }
}

TEST_F(MailSessionTest, ClickChecksNowAndRestartsThePeriod) {
    Program& program = start();
    rig.time.advance(3 * 60000);
    program.mailIndicatorClicked();
    EXPECT_EQ(sessions(), 1);
    EXPECT_EQ(rig.ui.calls.last(), "idle");
    rig.time.advance(5 * 60000 - 1);
    EXPECT_EQ(sessions(), 1);
    rig.time.advance(1);
    EXPECT_EQ(sessions(), 2);
}

TEST_F(MailSessionTest, EmptyInboxLogsTheSessionOnly) {
    Program& program = start();
    program.mailIndicatorClicked();
    EXPECT_EQ(log(), QStringList({"Mailiseanss algas", kSignedOff, kSeparator}));
    EXPECT_EQ(rig.mailbox.calls, QStringList({"signOn download", "fetch", "signOff"}));
}

TEST_F(MailSessionTest, PasswordAndSenderGatesAreExact) {
    setSeaded("ParoolLubatud", "1");
    setSeaded("Subjekt", "tuulelipp");
    setSeaded("PrefAdrOnly", "1");
    Program& program = start();
    MemoryMailbox& box = rig.mailbox;
    box.deliver("tuulelipp ", "owner@example.org", "[KOORMUS_1_SISSE_KOHE]");  // trailing blank
    box.deliver("Tuulelipp", "owner@example.org", "[KOORMUS_2_SISSE_KOHE]");
    box.deliver("tuulelipp", "Owner@example.org", "[KOORMUS_3_SISSE_KOHE]");
    box.deliver("tuulelipp", "second@example.org", "[KOORMUS_4_SISSE_KOHE]");
    box.deliver("tuulelipp", "owner@example.org", "[KOORMUS_5_SISSE_KOHE]");
    box.deliver("tuulelipp", "", "[KOORMUS_6_SISSE_KOHE]");
    program.mailIndicatorClicked();
    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(rig.board.relay(k), k == 4 || k == 5) << k;
    }
    EXPECT_FALSE(box.calls.contains("body 0")) << "a refused body is never read";
    EXPECT_FALSE(box.calls.contains("sender 1")) << "the password gate comes first";
    EXPECT_TRUE(box.inbox.empty()) << "every fetched mail is deleted";
}

// Asked to, only mails whose sender our own server verified run; the rest are deleted unread.
TEST_F(MailSessionTest, OnlySendersOurServerVerifiedRunWhenAsked) {
    setSeaded("VerifiedSenders", "1");
    setSeaded("AuthServId", "mx.example.org");
    Program& program = start();
    const QStringList verdicts[] = {{"mx.example.org; dmarc=pass header.from=example.org"},
                                    {"mx.example.org; dmarc=fail header.from=example.org"},
                                    {"other.example; dmarc=pass header.from=example.org"},
                                    {}};
    for (int k = 1; k <= 4; ++k) {
        rig.mailbox
            .deliver("s", "owner@example.org", QStringLiteral("[KOORMUS_%1_SISSE_KOHE]").arg(k))
            .authenticationResults = verdicts[k - 1];
    }
    program.mailIndicatorClicked();
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(rig.board.relay(k), k == 1) << k;
    }
    EXPECT_FALSE(rig.mailbox.calls.contains("body 1"));
    EXPECT_TRUE(rig.mailbox.inbox.empty());
}

TEST_F(MailSessionTest, FailedSessionLogsTwiceAndLeavesTheRestInTheMailbox) {
    Program& program = start();
    rig.mailbox.deliver("a", "x@example.org", "[KOORMUS_1_SISSE_KOHE]");
    rig.mailbox.deliver("b", "x@example.org", "[KOORMUS_2_SISSE_KOHE]");
    rig.mailbox.failAt(MemoryMailbox::Operation::Body, "connection reset", 1);
    program.mailIndicatorClicked();
    EXPECT_TRUE(rig.board.relay(1)) << "without gates any sender's mail runs";
    EXPECT_FALSE(rig.mailbox.calls.contains("sender 0"));
    EXPECT_FALSE(rig.board.relay(2));
    EXPECT_EQ(rig.mailbox.inbox.size(), 2U) << "nothing was deleted";
    EXPECT_EQ(log(), QStringList({"Mailiseanss algas", "Saadeti käsk: KOORMUS_1_SISSE_KOHE",
                                  kFailure, "connection reset", kFailure, "connection reset",
                                  kSignedOff, kSeparator}));
    EXPECT_FALSE(rig.mailbox.newSession());

    rig.mailbox.calls.clear();
    program.mailIndicatorClicked();  // the mail already read is not executed again
    EXPECT_TRUE(rig.board.relay(2));
    ASSERT_EQ(rig.mailbox.inbox.size(), 1U) << "the mail read before the failure stays, seen";
    EXPECT_EQ(rig.mailbox.inbox[0].subject, "a");
}

// POP3 keeps no mark of a mail read, so a mail that a failed session left on the server is
// fetched again; only a mail the server can name is known to have run.
TEST_F(MailSessionTest, AMailLeftOnTheServerRunsOnceWhenItHasAnId) {
    setSeaded("Confirm", "1");
    Program& program = start();
    MemoryMailbox& box = rig.mailbox;
    box.deliver("b", "x@example.org", "[KOORMUS_2_SISSE_KOHE]").uniqueId.clear();
    box.deliver("a", "x@example.org", "[KOORMUS_1_SISSE_KOHE]");
    box.failAt(MemoryMailbox::Operation::Send, "421 closing", 1);
    program.mailIndicatorClicked();  // the confirmation of the second mail fails
    ASSERT_EQ(box.inbox.size(), 2U);
    for (MemoryMailbox::Mail& mail : box.inbox) {
        mail.seen = false;
    }
    program.mailIndicatorClicked();
    EXPECT_EQ(log().count("Saadeti käsk: KOORMUS_1_SISSE_KOHE"), 1);
    EXPECT_EQ(log().count("Saadeti käsk: KOORMUS_2_SISSE_KOHE"), 2);
    EXPECT_TRUE(box.inbox.empty()) << "a mail that has run is still deleted";
    EXPECT_EQ(rig.processedMemory.ids, QSet<QString>({QStringLiteral("uid-2")}));
    program.mailIndicatorClicked();
    EXPECT_TRUE(rig.processedMemory.ids.isEmpty()) << "forgotten once the server has it no more";
}

TEST_F(MailSessionTest, SecondSignOnIsRefused) {
    Program& program = start();
    rig.mailbox.setNewSession(true);  // a notification's session
    program.mailIndicatorClicked();
    EXPECT_EQ(sessions(), 0);
    EXPECT_EQ(log(), QStringList({"Mailiseanss algas", kFailure, "", kFailure, "", kSignedOff,
                                  kSeparator}));
    EXPECT_FALSE(rig.mailbox.newSession()) << "the sign-off closes the other session";
}

// A sign-on may wait for the keyring or the log-on dialog while events run: a notification and
// a click made meanwhile are refused, and the session under way completes.
TEST_F(MailSessionTest, AttemptsWhileASignOnWaitsAreRefusedNotNested) {
    Program& program = start();
    program.state().SisendiMuutuseMail[3] = 1;
    rig.time.advance(200);
    bool waited = false;
    rig.mailbox.onOperation = [&](MemoryMailbox::Operation operation) {
        if (operation != MemoryMailbox::Operation::SignOn || waited) {
            return;
        }
        waited = true;
        rig.board.setInput(3, true);
        rig.time.advance(200);
        program.mailIndicatorClicked();
    };
    runMail("[KOORMUS_1_SISSE_KOHE]");
    EXPECT_TRUE(rig.board.relay(1)) << "the session under way completes";
    EXPECT_EQ(rig.mailbox.calls.filter("signOn").size(), 1);
    EXPECT_EQ(log().filter(kFailure).size(), 4) << "the notification and the click, twice each";
    EXPECT_EQ(log().filter(kSignedOff).size(), 1);
    EXPECT_TRUE(rig.mailbox.inbox.empty());
}

TEST_F(MailSessionTest, FailedSignOffStillEndsTheSession) {
    Program& program = start();
    rig.mailbox.failAt(MemoryMailbox::Operation::SignOff, "broken pipe");
    program.mailIndicatorClicked();
    EXPECT_FALSE(log().contains(kSignedOff));
    rig.mailbox.calls.clear();
    program.mailIndicatorClicked();
    EXPECT_EQ(sessions(), 1);
}

}  // namespace
}  // namespace kestrum
