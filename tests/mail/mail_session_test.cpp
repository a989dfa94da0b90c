#include "support/mail_test_base.h"

namespace kestrum {
namespace {

using testing::MemoryMailbox;

const QString kFailure = QStringLiteral("Mailiserverisse sisselogimise viga");
const QString kSignedOff = QStringLiteral("Mailiserverist edukalt välja logitud");

class MailSessionTest : public testing::MailTestBase {
protected:
    int sessions() const { return static_cast<int>(setup.mailbox.calls.count("signOn download")); }
    // Input 3, marked for mail, goes high while the first operation of the kind is under way.
    void raiseMarkedInputDuring(
        MemoryMailbox::Operation during, const std::function<void()>& then = [] {}) {
        state().SisendiMuutuseMail[3] = 1;
        setup.time.advance(200);
        setup.mailbox.onOperation = [=, this, raised = false](MemoryMailbox::Operation op) mutable {
            if (op == during && !raised) {
                raised = true;
                setup.board.setInput(3, true);
                setup.time.advance(200);
                then();
            }
        };
    }
};

// The first check comes a full period after start-up; a click checks at once and starts the
// period over.
TEST_F(MailSessionTest, ChecksComeAPeriodAfterStartUpOrAfterAClick) {
    Program& program = start();
    setup.time.advance(5 * 60000 - 1);
    EXPECT_EQ(sessions(), 0);
    setup.time.advance(1);
    EXPECT_EQ(setup.mailbox.calls, QStringList({"signOn download", "fetch", "signOff"}));
    setup.time.advance(3 * 60000);
    program.mailIndicatorClicked();
    EXPECT_EQ(sessions(), 2);
    EXPECT_EQ(setup.ui.calls.last(), "idle");
    setup.time.advance(5 * 60000 - 1);
    EXPECT_EQ(sessions(), 2);
    setup.time.advance(1);
    EXPECT_EQ(sessions(), 3);
}

TEST_F(MailSessionTest, PasswordAndSenderGatesAreExact) {
    setSeaded("ParoolLubatud", "1");
    setSeaded("Subjekt", "tuulelipp");
    setSeaded("PrefAdrOnly", "1");
    setSeaded("PrefAdrText1", "second@example.org");
    Program& program = start();
    MemoryMailbox& box = setup.mailbox;
    box.deliver("tuulelipp ", "owner@example.org", "[KOORMUS_1_SISSE_KOHE]");  // trailing blank
    box.deliver("Tuulelipp", "owner@example.org", "[KOORMUS_2_SISSE_KOHE]");
    box.deliver("tuulelipp", "Owner@example.org", "[KOORMUS_3_SISSE_KOHE]");
    box.deliver("tuulelipp", "second@example.org", "[KOORMUS_4_SISSE_KOHE]");
    box.deliver("tuulelipp", "owner@example.org", "[KOORMUS_5_SISSE_KOHE]");
    box.deliver("tuulelipp", "", "[KOORMUS_6_SISSE_KOHE]");
    program.mailIndicatorClicked();
    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(setup.board.relay(k), k == 4 || k == 5) << k;
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
    setup.mailbox.deliver("s", "owner@example.org", "[KOORMUS_1_SISSE_KOHE]")
        .authenticationResults =
        QStringList({"mx.example.org; dmarc=pass header.from=example.org"});
    setup.mailbox.deliver("s", "owner@example.org", "[KOORMUS_2_SISSE_KOHE]")
        .authenticationResults = QStringList({"other.example; dmarc=pass header.from=example.org"});
    program.mailIndicatorClicked();
    EXPECT_TRUE(setup.board.relay(1));
    EXPECT_FALSE(setup.board.relay(2));
    EXPECT_FALSE(setup.mailbox.calls.contains("body 1"));
    EXPECT_TRUE(setup.mailbox.inbox.empty());
}

// A failed session deletes nothing. POP3 keeps no mark of a mail read, so the mails it left
// are fetched again; only a mail the server can name is known to have run.
TEST_F(MailSessionTest, AMailLeftByAFailedSessionRunsOnceWhenItHasAnId) {
    setSeaded("Confirm", "1");
    Program& program = start();
    MemoryMailbox& box = setup.mailbox;
    box.deliver("a", "x@example.org", "[KOORMUS_1_SISSE_KOHE]");
    box.deliver("b", "x@example.org", "[KOORMUS_2_SISSE_KOHE]").uniqueId.clear();
    box.deliver("c", "x@example.org", "[KOORMUS_3_SISSE_KOHE]");
    box.failAt(MemoryMailbox::Operation::Send, "421 closing", 1);
    program.mailIndicatorClicked();  // the confirmation of the second mail fails
    const QString confirmed = QStringLiteral("Saadeti käsu täitmise kinnitus");
    EXPECT_EQ(log(),
              QStringList({"Mailiseanss algas", "Saadeti käsk: KOORMUS_1_SISSE_KOHE", confirmed,
                           "Saadeti käsk: KOORMUS_2_SISSE_KOHE", confirmed, kFailure, "421 closing",
                           kFailure, "421 closing", kSignedOff, "---------------------"}));
    EXPECT_EQ(box.inbox.size(), 3U);
    EXPECT_FALSE(box.newSession());

    for (MemoryMailbox::Mail& mail : box.inbox) {
        mail.seen = false;
    }
    program.mailIndicatorClicked();
    EXPECT_EQ(log().count("Saadeti käsk: KOORMUS_1_SISSE_KOHE"), 1);
    EXPECT_EQ(log().count("Saadeti käsk: KOORMUS_2_SISSE_KOHE"), 2);
    EXPECT_TRUE(setup.board.relay(3));
    EXPECT_TRUE(box.inbox.empty()) << "a mail that has run is still deleted";
    EXPECT_EQ(setup.processedMemory.ids, QSet<QString>({"uid-1", "uid-3"}));
    // A failed sign-off still ends the session, or every later check would be refused.
    box.failAt(MemoryMailbox::Operation::SignOff, "broken pipe");
    program.mailIndicatorClicked();
    EXPECT_TRUE(setup.processedMemory.ids.isEmpty()) << "forgotten once the server has it no more";
    program.mailIndicatorClicked();
    EXPECT_EQ(sessions(), 4);
}

// A sign-on may wait for the keyring or the log-on dialog while events run: a notification and
// a click made meanwhile are refused, and the session under way completes.
TEST_F(MailSessionTest, AttemptsWhileASignOnWaitsAreRefusedNotNested) {
    Program& program = start();
    raiseMarkedInputDuring(MemoryMailbox::Operation::SignOn,
                           [&program] { program.mailIndicatorClicked(); });
    const QStringList logged = runMail("[KOORMUS_1_SISSE_KOHE]");
    EXPECT_TRUE(setup.board.relay(1));
    EXPECT_EQ(setup.mailbox.calls.filter("signOn").size(), 1);
    EXPECT_EQ(logged.count(kFailure), 4) << "the notification and the click, twice each";
    EXPECT_EQ(logged.count(kSignedOff), 1);
    EXPECT_TRUE(setup.mailbox.inbox.empty());
}

// The board's scans go on between the mails and replies of a session: a warning they raise then
// goes out in that session, which carries on with its mails.
TEST_F(MailSessionTest, AWarningRaisedBetweenMailsGoesOutInTheSession) {
    start();
    raiseMarkedInputDuring(MemoryMailbox::Operation::Send);
    const QStringList logged = runMail("[SEISUND] [KOORMUS_1_SISSE_KOHE]");
    EXPECT_EQ(sentSubjects(), QStringList({"Kestrums input changed !", "Kaugvoole hetkeseis"}));
    EXPECT_TRUE(setup.board.relay(1));
    EXPECT_EQ(setup.mailbox.calls.filter("signOff").size(), 1);
    EXPECT_EQ(logged.count(kFailure), 0) << logged.join('\n').toStdString();
    EXPECT_TRUE(setup.mailbox.inbox.empty());
}

}  // namespace
}  // namespace kestrum
