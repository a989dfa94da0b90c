#include "support/mail_test_base.h"

namespace kestrum {
namespace {

using testing::MemoryMailbox;

class CommandExecutorTest : public testing::MailTestBase {
protected:
    CommandExecutorTest() { start(); }
    QStringList commands(const QString& body) { return runMail(body).filter("Saadeti käsk:"); }
};

// A command runs from an opening bracket of either kind to the next closing one. The opening
// is not reset: a closing bracket without one of its own takes from the last opening again,
// and the first one of a mail takes from position two.
TEST_F(CommandExecutorTest, CommandsRunBetweenBracketsOfEitherKind) {
    EXPECT_EQ(commands("xSEISUND] [ SEISUND]"),
              QStringList({"Saadeti käsk: SEISUND", "Saadeti käsk:  SEISUND"}));
    EXPECT_EQ(sentSubjects(), QStringList({"Kaugvoole hetkeseis"})) << "a blank spoils the word";
    EXPECT_EQ(commands("[KOORMUS_3_SISSE_KOHE] ]"),
              QStringList(
                  {"Saadeti käsk: KOORMUS_3_SISSE_KOHE", "Saadeti käsk: KOORMUS_3_SISSE_KOHE] "}));
    runMail("Tere! <koormus_1_sisse_kohe] and [KOORMUS_8_SISSE_KOHE> bye");
    EXPECT_TRUE(setup.board.relay(1) && setup.board.relay(8));
    EXPECT_EQ(setup.memory.read("Väljundid", "Väljundid 8"), "1");
    runMail("[KOORMUS-8-VALJA_KOHE]");  // either separator
    EXPECT_FALSE(setup.board.relay(8));
    EXPECT_TRUE(setup.board.relay(1));
}

// A command that cannot run is answered and the rest of its mail is skipped. A confirmation,
// when asked for, follows a mail that ran to its end on a command that sent no reply itself.
TEST_F(CommandExecutorTest, EachMailIsAnsweredWithWhatItsCommandsCameTo) {
    state().Confirm = 1;
    QStringList logged = runMail("[KOORMUS] [KOORMUS_1_SISSE_KOHE]");
    EXPECT_EQ(sentSubjects(), QStringList({"Kaugvool ei saan'd  komandole pihta"}));
    EXPECT_EQ(setup.mailbox.sent[0].body, "Imelik käsk: KOORMUS");
    EXPECT_TRUE(logged.contains("Su sõnad on hämarik :( -> KOORMUS"));
    EXPECT_FALSE(setup.board.relay(1));

    const QString noTimes = QStringLiteral(
        "Saadeti käsk: KOORMUS_4_AUTO kuid selle väljundi jaoks pole aegu veel määratud");
    logged = runMail("[KOORMUS_4_AUTO] [KOORMUS_5_SISSE_KOHE]");
    EXPECT_EQ(sentSubjects(), QStringList({"Kaugvool ei saan'd  käsku täita"}));
    EXPECT_EQ(setup.mailbox.sent[0].body, noTimes + "\r\n");
    EXPECT_EQ(logged.filter("KOORMUS_4_AUTO"), testing::refusedAutoLines(4));
    EXPECT_FALSE(setup.board.relay(5));

    logged = runMail("[LOGI] [KOORMUS_6_VALJA_KOHE]");
    EXPECT_EQ(sentSubjects(),
              QStringList({"Kaugvoole logi", "Kaugvoole käsu täitmise kinnitusteade"}));
    EXPECT_EQ(setup.mailbox.sent[1].body,
              "Täideti järgnevad käsud:\r\nLOGI\r\nKOORMUS_6_VALJA_KOHE\r\n");
    EXPECT_TRUE(logged.contains("Saadeti käsu täitmise kinnitus"));
    runMail("[KOORMUS_6_VALJA_KOHE] [LOGI]");
    EXPECT_EQ(sentSubjects(), QStringList({"Kaugvoole logi"}));
}

// Digit 0 names all outputs, for SISSE and VALJA whatever follows. A digit naming no output is
// ignored rather than ending the session, which would leave this mail and every later one.
TEST_F(CommandExecutorTest, DigitZeroSwitchesAllAndOneNamingNoOutputIsIgnored) {
    state().Mode[4] = 1;
    runMail("[KOORMUS_0_SISSE_07:00:00_01.01.2007]");
    for (int k = 1; k <= 8; ++k) {
        EXPECT_TRUE(setup.board.relay(k)) << k;
    }
    EXPECT_TRUE(state().Mode[4] == 0) << "the strobe stops";
    EXPECT_TRUE(state().Sisseajad(1, 1) == 0) << "no time was added";
    runMail("[koormus-0-valja]");
    const QStringList logged = runMail(
        "[KOORMUS_1_SISSE] [KOORMUS_9_SISSE_KOHE] [KOORMUS_0_AUTO] "
        "[KOORMUS_9_SISSE_10:00:00_01.01.2027] [KOORMUS_2_SISSE_KOHE]");
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(setup.board.relay(k), k == 2) << k;
    }
    EXPECT_FALSE(logged.contains("Mailiserverisse sisselogimise viga"));
}

// A time takes the output's first free pair, or pair 10 when all are in use, and puts the
// output under automatic control; KASI and AUTO switch between the two.
TEST_F(CommandExecutorTest, TimesGoIntoTheFirstFreePairAndOverwriteTheLast) {
    state().PaikeSisse[1] = state().PaikeValja[1] = "loojang -00:15";
    for (int p = 1; p <= 11; ++p) {
        runMail(QStringLiteral("[KOORMUS-1-VALJA-%1:00:00-01.01.2027]").arg(p + 10));
    }
    EXPECT_EQ(state().Valjaajad(17, 1).text(), "19:00:00");
    EXPECT_EQ(state().PaikeSisse[1].text(), "loojang -00:15") << "only the off side is a clock";
    EXPECT_NE(state().PaikeValja[1].text(), "loojang -00:15");
    EXPECT_EQ(state().Valjaajad(19, 1).text(), "21:00:00") << "pair 10 took the eleventh";
    EXPECT_EQ(state().Valjaajad(20, 1).text(), "01.01.2027");
    EXPECT_EQ(setup.memory.read("Väljaajad", "Väljaaeg 19"), "21:00:00");
    EXPECT_TRUE(setup.program->panel().outputs[0].autoLampLit);
    runMail("[KOORMUS_1_KASI]");
    EXPECT_FALSE(setup.program->panel().outputs[0].autoLampLit);
    runMail("[KOORMUS_1_AUTO]");
    EXPECT_TRUE(setup.program->panel().outputs[0].autoLampLit) << "it has times now";
}

// A pulse takes 1 to 1440 minutes; any other count is a command that cannot be read. Any
// later command on the output ends the pulse, so its end switches nothing.
TEST_F(CommandExecutorTest, APulseTakesItsMinutesAndALaterCommandEndsIt) {
    for (const char* wrong : {"[KOORMUS_3_SISSE_0MIN]", "[KOORMUS_3_SISSE_1441MIN]",
                              "[KOORMUS_3_SISSE_MIN]", "[KOORMUS_3_SISSE_20000000000MIN]"}) {
        runMail(wrong);
        EXPECT_EQ(sentSubjects(), QStringList({"Kaugvool ei saan'd  komandole pihta"})) << wrong;
    }
    EXPECT_FALSE(setup.board.relay(3));
    EXPECT_EQ(commands("[KOORMUS_3_SISSE_1440MIN]"),
              QStringList({"Saadeti käsk: KOORMUS_3_SISSE_1440MIN"}));
    EXPECT_TRUE(setup.board.relay(3));
    EXPECT_NE(setup.memory.read("PulsiLõpp", "PulsiLõpp 3"), "0");
    runMail("[KOORMUS_3_VALJA_KOHE] [KOORMUS_3_SISSE_KOHE]");
    EXPECT_EQ(setup.memory.read("PulsiLõpp", "PulsiLõpp 3"), "0");
    setup.time.setWallClock(setup.time.now().addDays(1));
    setup.time.advance(Schedule::kTickMs);
    EXPECT_TRUE(setup.board.relay(3));
}

// A switching time that fell inside a mail session is caught up before the session's commands,
// so that the command, given later, wins.
TEST_F(CommandExecutorTest, ACommandInAHeldSessionWinsOverTheCatchUpOfAnEarlierTime) {
    state().Juhtimine[1] = 1;
    state().Sisseajad(21, 1) = 1;
    state().Sisseajad(1, 1) = "09:30:30";
    setup.time.advance(Schedule::kTickMs);
    setup.mailbox.onOperation = [this](MemoryMailbox::Operation operation) {
        if (operation == MemoryMailbox::Operation::SignOn) {
            setup.time.hold(30 * 1000);
        }
    };
    runMail("[KOORMUS_1_VALJA_KOHE]");
    setup.time.advance(Schedule::kTickMs);
    EXPECT_FALSE(setup.board.relay(1));
    EXPECT_EQ(setup.memory.read("Väljundid", "Väljundid 1"), "0");
}

// Every reply that cannot be sent, the log included, ends the session with its reason; what the
// mail changed before it is stored all the same.
TEST_F(CommandExecutorTest, ReplyThatCannotBeSentEndsTheSession) {
    for (const QString& reply : {QStringLiteral("SEISUND"), QStringLiteral("LOGI")}) {
        setup.mailbox.failAt(MemoryMailbox::Operation::Send, "550 refused");
        const QStringList logged =
            runMail("[KOORMUS_2_SISSE_07:30:00_24.12.2026] [" + reply + "] [KOORMUS_1_SISSE_KOHE]");
        EXPECT_FALSE(setup.board.relay(1)) << reply.toStdString();
        EXPECT_EQ(logged.count("550 refused"), 2) << reply.toStdString();
        EXPECT_EQ(setup.memory.read("Sisseajad", "Sisseaeg 22"), "07:30:00");
    }
}

// A mail of 28,000 commands must neither flood the owner with replies nor hold the program for
// its whole session: the first hundred run, each reply kind goes once, and the log counts the rest.
TEST_F(CommandExecutorTest, AFloodMailRunsAHundredCommandsAndAnswersEachKindOnce) {
    const QStringList logged =
        runMail("[SEISUND]" + QString("[AJAD]").repeated(49) + QString("[SEISUND]").repeated(49) +
                "[KOORMUS_1_SISSE_KOHE]" + QString("[KOORMUS_2_SISSE_KOHE]").repeated(27900));
    EXPECT_TRUE(setup.board.relay(1));
    EXPECT_FALSE(setup.board.relay(2));
    EXPECT_EQ(sentSubjects(),
              QStringList({"Kaugvoole hetkeseis", "Kaugvoole väljundite lülitumisajad"}));
    EXPECT_TRUE(logged.contains("Kirjas oli üle 100 käsu: 27900 jäeti täitmata"))
        << logged.join('\n').toStdString();
}

}  // namespace
}  // namespace kestrum
