#include "mail/mail_servers.h"
#include "mail/processed_mails_file.h"
#include "mail/raw_mail.h"
#include "mail/sample_mails.h"
#include "mail/settings_password_store.h"
#include "mail/stub_server.h"
#include "mail/vmime_mail_backend.h"
#include "support/log_lines.h"
#include "support/printers.h"
#include "support/rig.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

using testing::MailServers;

// The log-on dialog as a test answers it: cancelled unless told otherwise.
class ScriptedPrompt : public AccountPrompt {
public:
    std::optional<MailAccount> askAccount(const MailAccount&, bool) override {
        return answer ? answer() : std::nullopt;
    }
    std::function<std::optional<MailAccount>()> answer;
};

QByteArray mail(const QByteArray& from, const QByteArray& subject, const QByteArray& headers,
                const QByteArray& body) {
    return "From: " + from + "\r\nTo: kestrum@example.org\r\nSubject: " + subject +
           "\r\nMIME-Version: 1.0\r\n" + headers + "\r\n" + body;
}

QByteArray switchOn(int output) {
    return "[KOORMUS_" + QByteArray::number(output) + "_SISSE_KOHE]\r\n";
}

// The whole program on the simulated board, driven by mail through real servers.
class MailSessionIntegrationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_servers = new MailServers; }
    static void TearDownTestSuite() {
        delete s_servers;
        s_servers = nullptr;
    }

    void startWith(const MailAccount& account, std::chrono::milliseconds deadline,
                   std::chrono::milliseconds sessionLimit = std::chrono::seconds(60)) {
        saveMailAccount(rig.memory, passwords, account);
        for (const auto& [key, text] : {std::pair{"Logi", "1"},
                                        {"MailEnabled", "1"},
                                        {"ParoolLubatud", "1"},
                                        {"Subjekt", "tuulelipp"},
                                        {"PrefAdrOnly", "1"},
                                        {"PrefAdrText", "owner@example.org"},
                                        {"Confirm", "1"}}) {
            rig.memory.write(QStringLiteral("Seaded"), QLatin1String(key), QString::fromUtf8(text));
        }
        MailOptions options;
        options.deadline = deadline;
        options.sessionLimit = sessionLimit;
        options.extraCaFile = s_servers->caFile();
        backend = std::make_unique<VmimeMailBackend>(rig.memory, passwords, prompt, options);
        rig.mail = backend.get();
        rig.time.setWallClock(QDateTime(QDate(2026, 12, 6), QTime(10, 0, 0)));
        rig.start();
    }
    QStringList log() const { return testing::logLines(rig.logBytes()); }
    void nextPeriod() { rig.time.advance(5 * 60000); }
    // Subject and text of every mail that reached the owner.
    QMap<QString, QString> replies() const {
        QMap<QString, QString> all;
        for (const QByteArray& raw : s_servers->mailbox(QStringLiteral("outbox"))) {
            const MailContent reply = readMail(raw);
            all.insert(reply.subject, reply.text);
        }
        return all;
    }

    testing::Rig rig;
    SettingsPasswordStore passwords{rig.memory, QString()};
    ScriptedPrompt prompt;
    std::unique_ptr<VmimeMailBackend> backend;
    static MailServers* s_servers;
};

MailServers* MailSessionIntegrationTest::s_servers = nullptr;

TEST_F(MailSessionIntegrationTest, CommandsByMailSwitchTheBoardAndAreAnswered) {
    const QString user = QStringLiteral("session");
    startWith(s_servers->account(user, QStringLiteral("imaps"), s_servers->imapsPort),
              std::chrono::seconds(10));
    s_servers->deliver(user, mail("Owner <owner@example.org>", "tuulelipp",
                                  "Content-Type: text/plain; charset=windows-1257\r\n"
                                  "Content-Transfer-Encoding: quoted-printable\r\n",
                                  "Tere! L=FClita [koormus_3_sisse_kohe] ja =F5ue [SEISUND]\r\n"));
    s_servers->deliver(
        user, mail("owner@example.org", "tuulelipp", "Content-Type: text/html; charset=utf-8\r\n",
                   "<html><body><p>K&auml;sk: <b>[KOORMUS_5_SISSE_KOHE]</b></p>"
                   "</body></html>\r\n"));
    s_servers->deliver(user, mail("owner@example.org", "Tuulelipp", "Content-Type: text/plain\r\n",
                                  "[KOORMUS_6_SISSE_KOHE]\r\n"));
    s_servers->deliver(user, mail("stranger@example.net", "tuulelipp",
                                  "Content-Type: text/plain\r\n", "[KOORMUS_7_SISSE_KOHE]\r\n"));

    rig.program->mailIndicatorClicked();

    EXPECT_TRUE(rig.board.relay(3));
    EXPECT_TRUE(rig.board.relay(5)) << "the HTML mail's text was read";
    EXPECT_FALSE(rig.board.relay(6)) << "wrong password";
    EXPECT_FALSE(rig.board.relay(7)) << "wrong sender";
    EXPECT_TRUE(s_servers->mailbox(user).isEmpty()) << "every fetched mail is gone";

    const QMap<QString, QString> answers = replies();
    ASSERT_TRUE(answers.contains(QStringLiteral("Kaugvoole hetkeseis")));
    EXPECT_TRUE(answers.value(QStringLiteral("Kaugvoole hetkeseis"))
                    .startsWith(QStringLiteral("Väljund 1    : käsitsi juhtimisel, hetkel välja "
                                               "lülitatud, \r\n")));
    EXPECT_TRUE(answers.value(QStringLiteral("Kaugvoole hetkeseis"))
                    .contains(QStringLiteral("Väljund 3    : käsitsi juhtimisel, hetkel sisse "
                                             "lülitatud, \r\n")));
    ASSERT_TRUE(answers.contains(QStringLiteral("Kaugvoole käsu täitmise kinnitusteade")));
    EXPECT_EQ(answers.value(QStringLiteral("Kaugvoole käsu täitmise kinnitusteade")),
              QStringLiteral("Täideti järgnevad käsud:\r\nKOORMUS_3_SISSE_KOHE\r\nSEISUND\r\n"
                             "KOORMUS_5_SISSE_KOHE\r\n"));
    const QStringList lines = log();
    EXPECT_TRUE(lines.contains(QStringLiteral("Saadeti käsk: KOORMUS_5_SISSE_KOHE")));
    EXPECT_EQ(lines.filter(QStringLiteral("Mailiserverist edukalt välja logitud")).size(), 1);
    EXPECT_TRUE(lines.filter(QStringLiteral("Mailiserverisse sisselogimise viga")).isEmpty());
}

// The gates compare the subject and the sender's address as the mail gives them: a blank or a
// capital makes another password, and a display name is never the address.
TEST_F(MailSessionIntegrationTest, GatesCompareSubjectAndSenderAsSent) {
    const QString user = QStringLiteral("gates");
    startWith(s_servers->account(user, QStringLiteral("imap"), s_servers->imapPort),
              std::chrono::seconds(10));
    const struct {
        QByteArray from;
        QByteArray subject;
        bool runs;
    } mails[] = {
        {"owner@example.org", "tuulelipp", true},
        {"owner@example.org", "tuulelipp ", false},
        {"owner@example.org", " tuulelipp", false},
        {"owner@example.org", "Tuulelipp", false},
        {"owner@example.org", "=?UTF-8?B?dHV1bGVsaXBw?=", true},
        {"owner@example.org <attacker@evil.example>", "tuulelipp", false},
        {"\"Owner\" <owner@example.org>", "tuulelipp", true},
    };
    int output = 0;
    for (const auto& sent : mails) {
        s_servers->deliver(user, mail(sent.from, sent.subject, "Content-Type: text/plain\r\n",
                                      switchOn(++output)));
    }

    rig.program->mailIndicatorClicked();

    output = 0;
    for (const auto& sent : mails) {
        EXPECT_EQ(rig.board.relay(++output), sent.runs)
            << "From: " << sent.from.toStdString() << ", Subject: [" << sent.subject.toStdString()
            << "]";
    }
    EXPECT_TRUE(s_servers->mailbox(user).isEmpty());
}

// A mail VMime cannot parse, one nested deep enough to overflow its parser's stack and one too
// big for a command mail: none runs, none stops the session, and all are deleted with the good
// mail beside them, which runs.
TEST_F(MailSessionIntegrationTest, UnreadableMailsAreDeletedBesideGoodOnesThatRun) {
    const QByteArray refused = switchOn(8);
    const QByteArray text = "Content-Type: text/plain\r\n";
    startWith(s_servers->account(QStringLiteral("nobody"), QStringLiteral("imap"), 1),
              std::chrono::seconds(10));
    for (const auto& [scheme, port, output] :
         {std::tuple{QStringLiteral("imap"), s_servers->imapPort, 3},
          std::tuple{QStringLiteral("pop3"), s_servers->pop3Port, 4}}) {
        SCOPED_TRACE(scheme.toStdString());
        const QString user = QStringLiteral("unreadable-") + scheme;
        saveMailAccount(rig.memory, passwords, s_servers->account(user, scheme, port));
        s_servers->deliver(user,
                           mail("owner@example.org", "tuulelipp",
                                "X-Junk: " + testing::kUnparseableWords + "\r\n" + text, refused));
        s_servers->deliver(user, testing::nestedMail(4000, true, refused));
        s_servers->deliver(user, mail("owner@example.org", "tuulelipp", text,
                                      refused + QByteArray(kMaxMailSize, ' ')));
        s_servers->deliver(user, mail("owner@example.org", "tuulelipp", text, switchOn(output)));
        QFile::remove(rig.logPath());

        rig.program->mailIndicatorClicked();

        EXPECT_TRUE(rig.board.relay(output));
        EXPECT_FALSE(rig.board.relay(8));
        EXPECT_TRUE(s_servers->mailbox(user).isEmpty());
        EXPECT_TRUE(log().filter(QStringLiteral("Mailiserverisse sisselogimise viga")).isEmpty())
            << log().join(QLatin1Char('\n')).toStdString();
    }
}

// Asked to, only mails whose sender our own server verified run; the rest are deleted unread.
TEST_F(MailSessionIntegrationTest, OnlySendersOurServerVerifiedRunWhenAsked) {
    const QString user = QStringLiteral("verified");
    rig.memory.write(QStringLiteral("Seaded"), QStringLiteral("VerifiedSenders"),
                     QStringLiteral("1"));
    rig.memory.write(QStringLiteral("Seaded"), QStringLiteral("AuthServId"),
                     QStringLiteral("mx.example.org"));
    startWith(s_servers->account(user, QStringLiteral("imap"), s_servers->imapPort),
              std::chrono::seconds(10));
    const struct {
        QByteArray header;
        bool runs;
    } mails[] = {
        {"Authentication-Results: mx.example.org; dmarc=pass header.from=example.org\r\n", true},
        {"Authentication-Results: mx.example.org; dmarc=fail header.from=example.org\r\n", false},
        {"Authentication-Results: other.example; dmarc=pass header.from=example.org\r\n", false},
        {"", false},
    };
    for (int n = 1; n <= 4; ++n) {
        s_servers->deliver(user,
                           mail("owner@example.org", "tuulelipp",
                                mails[n - 1].header + "Content-Type: text/plain\r\n",
                                QStringLiteral("[KOORMUS_%1_SISSE_KOHE]\r\n").arg(n).toUtf8()));
    }
    rig.program->mailIndicatorClicked();
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(rig.board.relay(n), mails[n - 1].runs) << n;
    }
    EXPECT_TRUE(s_servers->mailbox(user).isEmpty());
}

// The log-on dialog lets events run while the user types: a notification raised meanwhile is
// refused, and the session that asked for the account completes.
TEST_F(MailSessionIntegrationTest, ANotificationWhileTheLogOnDialogIsOpenIsRefused) {
    const QString user = QStringLiteral("logon");
    const MailAccount account =
        s_servers->account(user, QStringLiteral("imap"), s_servers->imapPort);
    startWith(account, std::chrono::seconds(10));
    rig.memory.deleteSection(QStringLiteral("Post"));
    rig.program->state().SisendiMuutuseMail[2] = 1;
    prompt.answer = [&] {
        rig.board.setInput(2, true);
        rig.time.advance(200);
        return std::optional(account);
    };
    s_servers->deliver(user, mail("owner@example.org", "tuulelipp", "Content-Type: text/plain\r\n",
                                  "[KOORMUS_1_SISSE_KOHE]\r\n"));
    rig.program->mailIndicatorClicked();
    EXPECT_TRUE(rig.board.relay(1));
    const QStringList lines = log();
    EXPECT_EQ(lines.count(QStringLiteral("Mailiserverisse sisselogimise viga")), 2)
        << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(lines.count(QStringLiteral("Mailiserverist edukalt välja logitud")), 1);
    EXPECT_TRUE(s_servers->mailbox(user).isEmpty());
}

// A dead, a silent and a trickling server: each session ends, logged with the reason.
TEST_F(MailSessionIntegrationTest, AServerThatDoesNotAnswerEndsTheSessionInTime) {
    testing::StubServer silent({}, 0);
    testing::StubServer trickling("* OK " + QByteArray(100, 'x') + "\r\n", 2000);
    const struct {
        int port;
        const char* reason;
    } servers[] = {{testing::freePort(), "IMAP log-on"},
                   {silent.port(), "did not finish within 3 s"},
                   {trickling.port(), "did not finish within 3 s"}};
    startWith(s_servers->account(QStringLiteral("nobody"), QStringLiteral("imap"), 1),
              std::chrono::seconds(3));
    for (const auto& server : servers) {
        saveMailAccount(
            rig.memory, passwords,
            s_servers->account(QStringLiteral("nobody"), QStringLiteral("imap"), server.port));
        QFile::remove(rig.logPath());
        rig.program->mailIndicatorClicked();
        const QStringList lines = log();
        const auto failure = lines.indexOf(QStringLiteral("Mailiserverisse sisselogimise viga"));
        ASSERT_GE(failure, 0) << lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(lines.value(failure + 1).contains(QLatin1String(server.reason)))
            << lines.value(failure + 1).toStdString();
        EXPECT_EQ(lines.count(QStringLiteral("Mailiserverisse sisselogimise viga")), 2);
        EXPECT_FALSE(backend->newSession());
    }
}

// Over POP3 a mail read stays unread: the confirmation cannot be sent, the session fails and
// leaves the mail on the server, to be fetched again after a restart. It still runs once.
TEST_F(MailSessionIntegrationTest, AMailRunsOnceThoughItsConfirmationCannotBeSent) {
    const QString user = QStringLiteral("once");
    MailAccount account = s_servers->account(user, QStringLiteral("pop3"), s_servers->pop3Port);
    const QString outgoing = account.outgoingUrl;
    account.outgoingUrl = QStringLiteral("smtp://127.0.0.1:%1").arg(testing::freePort());
    const QString processedPath = rig.folder.filePath(QStringLiteral("processed-mails"));
    auto processed = std::make_unique<ProcessedMailsFile>(processedPath);
    rig.processed = processed.get();
    startWith(account, std::chrono::seconds(10));
    s_servers->deliver(user, mail("owner@example.org", "tuulelipp", "Content-Type: text/plain\r\n",
                                  "[KOORMUS_2_SISSE_07:30:00_24.12.2026]\r\n"));
    nextPeriod();
    EXPECT_EQ(s_servers->mailbox(user).size(), 1) << "the failed session deleted nothing";

    rig.program.reset();
    processed = std::make_unique<ProcessedMailsFile>(processedPath);
    rig.processed = processed.get();
    account.outgoingUrl = outgoing;
    saveMailAccount(rig.memory, passwords, account);
    rig.start();
    const State& state = rig.program->state();
    EXPECT_EQ(state.Sisseajad(1, 2).text(), QStringLiteral("07:30:00"))
        << "stored before the restart";
    nextPeriod();
    EXPECT_TRUE(s_servers->mailbox(user).isEmpty());
    nextPeriod();

    const QStringList lines = log();
    EXPECT_EQ(lines.count(QStringLiteral("Saadeti käsk: KOORMUS_2_SISSE_07:30:00_24.12.2026")), 1)
        << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(state.Sisseajad(3, 2) == 0) << "the time was added once";
}

// A server that answers every command, but each 4 s late, within the limit of an operation:
// the session as a whole still ends at its own limit, logged as a failed one.
TEST_F(MailSessionIntegrationTest, ASlowServerHoldsTheSessionNoLongerThanItsLimit) {
    testing::StubServer slow("+OK\r\n", 0, "-ERR\r\n", 4000);
    startWith(s_servers->account(QStringLiteral("nobody"), QStringLiteral("pop3"), slow.port()),
              std::chrono::seconds(30), std::chrono::seconds(6));
    QElapsedTimer clock;
    clock.start();
    rig.program->mailIndicatorClicked();
    EXPECT_LT(clock.elapsed(), 6000 + 1500);
    const QStringList lines = log();
    const auto failure = lines.indexOf(QStringLiteral("Mailiserverisse sisselogimise viga"));
    ASSERT_GE(failure, 0) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines.value(failure + 1).contains(QLatin1String("session took longer than 6 s")))
        << lines.value(failure + 1).toStdString();
}

}  // namespace
}  // namespace kestrum
