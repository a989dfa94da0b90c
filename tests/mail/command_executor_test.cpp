#include "mail/mail_test_base.h"
#include "support/printers.h"

namespace kestrum {
namespace {

class CommandExecutorTest : public testing::MailTestBase {
protected:
    CommandExecutorTest() { start(); }
    State& state() { return rig.program->state(); }
    QStringList commandsLogged() const { return log().filter("Saadeti käsk:"); }
    bool allRelays(bool on) const {
        for (int k = 1; k <= 8; ++k) {
            if (rig.board.relay(k) != on) {
                return false;
            }
        }
        return true;
    }
};

TEST_F(CommandExecutorTest, BracketsMayBeMixedAndTextAroundIsIgnored) {
    runMail("Tere! <koormus_1_sisse_kohe] and [KOORMUS_8_SISSE_KOHE> bye");
    EXPECT_TRUE(rig.board.relay(1));
    EXPECT_TRUE(rig.board.relay(8));
    EXPECT_EQ(rig.memory.read("Väljundid", "Väljundid 8"), "1");
    runMail("[KOORMUS_8_VALJA_KOHE]");
    EXPECT_FALSE(rig.board.relay(8));
    EXPECT_TRUE(rig.board.relay(1));
}

TEST_F(CommandExecutorTest, FirstBracketClosingTakesFromPositionTwo) {
    runMail("xSEISUND] [ SEISUND]");
    EXPECT_EQ(commandsLogged(), QStringList({"Saadeti käsk: SEISUND", "Saadeti käsk:  SEISUND"}));
    EXPECT_EQ(sentSubjects(), QStringList({"Kaugvoole hetkeseis"}))
        << "a blank before the word makes it unrecognised";
}

TEST_F(CommandExecutorTest, ClosingBracketWithoutNewOpeningRepeatsTheLastCommand) {
    runMail("[KOORMUS_3_SISSE_KOHE] ]");
    EXPECT_EQ(commandsLogged().size(), 2);
    EXPECT_EQ(commandsLogged()[1], "Saadeti käsk: KOORMUS_3_SISSE_KOHE] ");
}

TEST_F(CommandExecutorTest, DigitZeroSwitchesAllWhateverFollows) {
    state().Mode[4] = 1;
    runMail("[KOORMUS_0_SISSE_07:00:00_01.01.2007]");
    EXPECT_TRUE(allRelays(true));
    EXPECT_TRUE(state().Mode[4] == 0);
    EXPECT_TRUE(state().Sisseajad(1, 1) == 0) << "no time was added";
    runMail("[koormus-0-valja]");
    EXPECT_TRUE(allRelays(false));
    runMail("[KOORMUS_1_SISSE]");  // one output needs KOHE
    EXPECT_FALSE(rig.board.relay(1));
}

TEST_F(CommandExecutorTest, SeparatorDecidesBetweenSyntaxErrorAndIgnored) {
    runMail("[KOORMUS] [KOORMUS_1_SISSE_KOHE]");
    EXPECT_FALSE(rig.board.relay(1)) << "the rest of the mail is skipped";
    EXPECT_EQ(sentSubjects(), QStringList({"Kaugvool ei saan'd  komandole pihta"}));
    EXPECT_EQ(rig.mailbox.sent[0].body, "Imelik käsk: KOORMUS");
    EXPECT_TRUE(log().contains("Su sõnad on hämarik :( -> KOORMUS"));

    rig.mailbox.sent.clear();
    runMail("[KOORMUS_] [KOORMUS+1_SISSE_KOHE] [KOORMUS_2_SISSE_KOHE]");
    EXPECT_EQ(sentSubjects(), QStringList({"Kaugvool ei saan'd  komandole pihta"}));
    EXPECT_EQ(rig.mailbox.sent[0].body, "Imelik käsk: KOORMUS+1_SISSE_KOHE");
    EXPECT_FALSE(rig.board.relay(2));
}

TEST_F(CommandExecutorTest, TimesGoIntoTheFirstFreePairAndOverwriteTheLast) {
    state().Sisseajad(21, 1) = 1;
    runMail("[KOORMUS_1_SISSE_08:00:00_24.12.2006]");
    EXPECT_EQ(state().Sisseajad(1, 1).text(), "08:00:00");
    EXPECT_EQ(state().Sisseajad(2, 1).text(), "24.12.2006");
    EXPECT_TRUE(state().Sisseajad(21, 1) == 0) << "the times become dated";
    EXPECT_TRUE(state().Juhtimine[1] == 1);
    EXPECT_TRUE(state().Initsialiseeritud[1] == 1);
    EXPECT_TRUE(rig.program->panel().outputs[0].autoLampLit);
    EXPECT_EQ(rig.memory.read("Sisseajad", "Sisseaeg 1"), "08:00:00");
    EXPECT_EQ(rig.memory.read("Juhtimine", "Juhtimine 1"), "1");

    for (int p = 1; p <= 10; ++p) {
        runMail(QStringLiteral("[KOORMUS-1-VALJA-2%1:00:00-01.01.2027]").arg(p % 4));
    }
    runMail("[KOORMUS-1-VALJA-09:00:00-02.01.2027]");
    EXPECT_EQ(state().Valjaajad(17, 1).text(), "21:00:00");
    EXPECT_EQ(state().Valjaajad(19, 1).text(), "09:00:00") << "pair 10 took the eleventh";
    EXPECT_EQ(state().Valjaajad(20, 1).text(), "02.01.2027");
    EXPECT_EQ(rig.memory.read("Väljaajad", "Väljaaeg 19"), "09:00:00");
}

TEST_F(CommandExecutorTest, AutoWithoutTimesStopsTheMailWithoutConfirmation) {
    setSeaded("Confirm", "1");
    state().Confirm = 1;
    runMail("[KOORMUS_4_AUTO] [KOORMUS_5_SISSE_KOHE]");
    EXPECT_FALSE(rig.board.relay(5));
    EXPECT_EQ(sentSubjects(), QStringList({"Kaugvool ei saan'd  käsku täita"}));
    EXPECT_EQ(rig.mailbox.sent[0].body,
              "Saadeti käsk: KOORMUS_4_AUTO kuid selle väljundi jaoks pole aegu veel määratud\r\n");
    EXPECT_TRUE(log().contains(QStringLiteral(
        "Saadeti käsk: KOORMUS_4_AUTO kuid selle väljundi jaoks pole aegu veel määratud")));

    state().Initsialiseeritud[4] = 1;
    runMail("[KOORMUS_4_AUTO]");
    EXPECT_TRUE(state().Juhtimine[4] == 1);
    runMail("[KOORMUS_4_KASI]");
    EXPECT_TRUE(state().Juhtimine[4] == 0);
    EXPECT_FALSE(rig.program->panel().outputs[3].autoLampLit);
}

TEST_F(CommandExecutorTest, ConfirmationDependsOnTheLastCommand) {
    state().Confirm = 1;
    runMail("[LOGI] [KOORMUS_2_VALJA_KOHE]");
    EXPECT_EQ(sentSubjects(),
              QStringList({"Kaugvoole logi", "Kaugvoole käsu täitmise kinnitusteade"}));
    EXPECT_EQ(rig.mailbox.sent[1].body,
              "Täideti järgnevad käsud:\r\nLOGI\r\nKOORMUS_2_VALJA_KOHE\r\n");
    EXPECT_TRUE(log().contains("Saadeti käsu täitmise kinnitus"));

    rig.mailbox.sent.clear();
    runMail("[KOORMUS_2_VALJA_KOHE] [LOGI]");
    EXPECT_EQ(sentSubjects(), QStringList({"Kaugvoole logi"}));
}

TEST_F(CommandExecutorTest, DigitNamingNoOutputIsIgnoredAndTheSessionGoesOn) {
    rig.mailbox.deliver("s", "a@example.org", "[KOORMUS_9_SISSE_KOHE] [KOORMUS_1_SISSE_KOHE]");
    rig.mailbox.deliver("s", "a@example.org",
                        "[KOORMUS_0_AUTO] [KOORMUS_9_SISSE_10:00:00_01.01.2027]");
    rig.program->mailIndicatorClicked();
    EXPECT_TRUE(rig.board.relay(1));
    EXPECT_TRUE(rig.mailbox.inbox.empty());
    EXPECT_FALSE(log().contains("Mailiserverisse sisselogimise viga"));
}

TEST_F(CommandExecutorTest, ReplyThatCannotBeSentEndsTheSession) {
    rig.mailbox.deliver("s", "a@example.org",
                        "[KOORMUS_2_SISSE_07:30:00_24.12.2026] [SEISUND] [KOORMUS_1_SISSE_KOHE]");
    rig.mailbox.failAt(testing::MemoryMailbox::Operation::Send, "550 refused");
    rig.program->mailIndicatorClicked();
    EXPECT_FALSE(rig.board.relay(1));
    EXPECT_EQ(log().count("550 refused"), 2);
    EXPECT_EQ(rig.memory.read("Sisseajad", "Sisseaeg 22"), "07:30:00")
        << "what ran before the failure is stored";

    rig.mailbox.failAt(testing::MemoryMailbox::Operation::Send, "550 refused");
    runMail("[LOGI] [KOORMUS_2_SISSE_KOHE]");
    EXPECT_TRUE(rig.board.relay(2)) << "the log reply's errors are ignored";
}

}  // namespace
}  // namespace kestrum
