#include "mail/processed_mails_file.h"
#include "mail/raw_mail.h"
#include "mail/settings_password_store.h"
#include "mail/vmime_mail_backend.h"
#include "support/dropping_relay.h"
#include "support/log_lines.h"
#include "support/mail_servers.h"
#include "support/printers.h"
#include "support/program_on_doubles.h"
#include "support/sample_mails.h"
#include "support/scripted_prompt.h"
#include "support/stub_server.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

using testing::MailServers;

QByteArray mail(const QByteArray& from, const QByteArray& subject, const QByteArray& headers,
                const QByteArray& body) {
    return "From: " + from + "\r\nTo: kestrum@example.org\r\nSubject: " + subject +
           "\r\nMIME-Version: 1.0\r\n" + headers + "\r\n" + body;
}

// A plain-text mail from the owner with the password as its subject.
QByteArray commandMail(const QByteArray& body, const QByteArray& headers = {}) {
    return mail("owner@example.org", "tuulelipp", headers + "Content-Type: text/plain\r\n", body);
}

QByteArray switchOn(int output) {
    return "[KOORMUS_" + QByteArray::number(output) + "_SISSE_KOHE]\r\n";
}

// The back end alone, and the whole program on the simulated board driven by mail, through real
// servers.
class MailBackendTest : public testing::MailServersTest {
protected:
    // Each test has a mailbox of its own, named after it.
    QString user() const {
        return QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name())
            .toLower();
    }
    void useAccount(const MailAccount& account) {
        saveMailAccount(setup.memory, passwords, account);
    }
    // The back end without the program.
    VmimeMailBackend& direct(std::chrono::milliseconds deadline = std::chrono::seconds(10),
                             bool trustTestCa = true,
                             std::chrono::milliseconds sessionLimit = std::chrono::seconds(60)) {
        MailOptions options;
        options.deadline = deadline;
        options.sessionLimit = sessionLimit;
        options.extraCaFile = trustTestCa ? servers().caFile() : QString();
        backend = std::make_unique<VmimeMailBackend>(setup.memory, passwords, prompt, options);
        return *backend;
    }
    // Why a session of the back end failed; empty when it signed on, sent and signed off.
    QString failure(bool incoming, bool logonUi = false,
                    const OutgoingMail& sent = {"owner@example.org", "x", "y"}) {
        try {
            backend->signOn(incoming, logonUi);
            backend->send(sent);
            backend->signOff();
            return {};
        } catch (const MailError& e) {
            return e.description();
        }
    }
    void startWith(const MailAccount& account, std::chrono::milliseconds deadline,
                   std::chrono::milliseconds sessionLimit = std::chrono::seconds(60)) {
        saveMailAccount(setup.memory, passwords, account);
        for (const auto& [key, text] : {std::pair{"Logi", "1"},
                                        {"MailEnabled", "1"},
                                        {"ParoolLubatud", "1"},
                                        {"Subjekt", "tuulelipp"},
                                        {"PrefAdrOnly", "1"},
                                        {"PrefAdrText", "owner@example.org"},
                                        {"Confirm", "1"}}) {
            setup.memory.write("Seaded", QLatin1String(key), QString::fromUtf8(text));
        }
        setup.mail = &direct(deadline, true, sessionLimit);
        setup.time.setWallClock(QDateTime(QDate(2026, 12, 6), QTime(10, 0, 0)));
        setup.start();
    }
    QStringList log() const { return testing::logLines(setup.logBytes()); }
    void nextPeriod() { setup.time.advance(5 * 60000); }
    // Subject and text of every mail that reached the owner.
    QMap<QString, QString> replies() const {
        QMap<QString, QString> all;
        for (const QByteArray& raw : servers().mailbox(QStringLiteral("outbox"))) {
            const MailContent reply = readMail(raw);
            all.insert(reply.subject, reply.text);
        }
        return all;
    }

    testing::ProgramOnDoubles setup;
    SettingsPasswordStore passwords{setup.memory, QString()};
    testing::ScriptedPrompt prompt;
    testing::MemoryProcessedMails noneProcessed;
    std::unique_ptr<VmimeMailBackend> backend;
};

TEST_F(MailBackendTest, CommandsByMailSwitchTheBoardAndAreAnswered) {
    const QString user = QStringLiteral("session");
    startWith(servers().account(user, "imaps", servers().imapsPort), std::chrono::seconds(10));
    servers().deliver(user, mail("Owner <owner@example.org>", "tuulelipp",
                                 "Content-Type: text/plain; charset=windows-1257\r\n"
                                 "Content-Transfer-Encoding: quoted-printable\r\n",
                                 "Tere! L=FClita [koormus_3_sisse_kohe] ja =F5ue [SEISUND]\r\n"));
    servers().deliver(
        user, mail("owner@example.org", "tuulelipp", "Content-Type: text/html; charset=utf-8\r\n",
                   "<html><body><p>K&auml;sk: <b>[KOORMUS_5_SISSE_KOHE]</b></p>"
                   "</body></html>\r\n"));
    // KOORMUS_2_SISSE_KOHE in base64, beside an HTML part that says otherwise.
    servers().deliver(
        user,
        mail("owner@example.org",
             "=?UTF-8?B?dHV1bGVsaXBw?=", "Content-Type: multipart/alternative; boundary=\"b\"\r\n",
             "--b\r\nContent-Type: text/plain; charset=utf-8\r\n"
             "Content-Transfer-Encoding: base64\r\n\r\nW0tPT1JNVVNfMl9TSVNTRV9LT0hFXQ==\r\n"
             "--b\r\nContent-Type: text/html\r\n\r\n<p>[KOORMUS_4_SISSE_KOHE]</p>\r\n--b--\r\n"));

    setup.program->mailIndicatorClicked();

    EXPECT_TRUE(setup.board.relay(3));
    EXPECT_TRUE(setup.board.relay(5)) << "the HTML mail's text was read";
    EXPECT_TRUE(setup.board.relay(2)) << "the plain part of the alternatives was read";
    EXPECT_FALSE(setup.board.relay(4));
    EXPECT_TRUE(servers().mailbox(user).isEmpty()) << "every fetched mail is gone";
    const QMap<QString, QString> answers = replies();
    EXPECT_TRUE(answers.contains("Kaugvoole hetkeseis"));
    EXPECT_EQ(answers.value("Kaugvoole käsu täitmise kinnitusteade"),
              QStringLiteral("Täideti järgnevad käsud:\r\nKOORMUS_3_SISSE_KOHE\r\nSEISUND\r\n"
                             "KOORMUS_5_SISSE_KOHE\r\nKOORMUS_2_SISSE_KOHE\r\n"));
    EXPECT_EQ(log().filter("Mailiserverist edukalt välja logitud").size(), 1);
}

// A mail VMime cannot parse, one nested deep enough to overflow its parser's stack and one too
// big for a command mail: none runs, none stops the session, and all are deleted with the good
// mail beside them, which runs.
TEST_F(MailBackendTest, UnreadableMailsAreDeletedBesideGoodOnesThatRun) {
    const QByteArray refused = switchOn(8);
    startWith(servers().account("nobody", "imap", 1), std::chrono::seconds(10));
    for (const auto& [scheme, port, output] :
         {std::tuple{QStringLiteral("imap"), servers().imapPort, 3},
          std::tuple{QStringLiteral("pop3"), servers().pop3Port, 4}}) {
        SCOPED_TRACE(scheme.toStdString());
        const QString user = QStringLiteral("unreadable-") + scheme;
        saveMailAccount(setup.memory, passwords, servers().account(user, scheme, port));
        servers().deliver(user,
                          commandMail(refused, "X-Junk: " + testing::kUnparseableWords + "\r\n"));
        servers().deliver(user, testing::nestedMail(4000, true, refused));
        servers().deliver(user, commandMail(refused + QByteArray(kMaxMailSize, ' ')));
        servers().deliver(user, commandMail(switchOn(output)));
        QFile::remove(setup.logPath());

        setup.program->mailIndicatorClicked();

        EXPECT_TRUE(setup.board.relay(output));
        EXPECT_FALSE(setup.board.relay(8));
        EXPECT_TRUE(servers().mailbox(user).isEmpty());
        EXPECT_TRUE(log().filter("Mailiserverisse sisselogimise viga").isEmpty())
            << log().join(QLatin1Char('\n')).toStdString();
    }
}

// Over POP3 a mail read stays unread: the confirmation cannot be sent, the session fails and
// leaves the mail on the server, to be fetched again after a restart. It still runs once.
TEST_F(MailBackendTest, AMailRunsOnceThoughItsConfirmationCannotBeSent) {
    const QString user = QStringLiteral("once");
    MailAccount account = servers().account(user, "pop3", servers().pop3Port);
    const QString outgoing = account.outgoingUrl;
    account.outgoingUrl = QStringLiteral("smtp://127.0.0.1:%1").arg(testing::freePort());
    const QString processedPath = setup.folder.filePath("processed-mails");
    auto processed = std::make_unique<ProcessedMailsFile>(processedPath);
    setup.processed = processed.get();
    startWith(account, std::chrono::seconds(10));
    servers().deliver(user, commandMail("[KOORMUS_2_SISSE_07:30:00_24.12.2026]\r\n"));
    nextPeriod();
    EXPECT_EQ(servers().mailbox(user).size(), 1) << "the failed session deleted nothing";

    setup.program.reset();
    processed = std::make_unique<ProcessedMailsFile>(processedPath);
    setup.processed = processed.get();
    account.outgoingUrl = outgoing;
    saveMailAccount(setup.memory, passwords, account);
    setup.start();
    const State& state = setup.program->state();
    EXPECT_EQ(state.Sisseajad(1, 2).text(), "07:30:00") << "stored before the restart";
    nextPeriod();
    EXPECT_TRUE(servers().mailbox(user).isEmpty());
    nextPeriod();

    const QStringList lines = log();
    EXPECT_EQ(lines.count("Saadeti käsk: KOORMUS_2_SISSE_07:30:00_24.12.2026"), 1)
        << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(state.Sisseajad(3, 2) == 0) << "the time was added once";
}

// A server that answers every command, but each 4 s late, within the limit of an operation:
// the session as a whole still ends at its own limit, logged as a failed one.
TEST_F(MailBackendTest, ASlowServerHoldsTheSessionNoLongerThanItsLimit) {
    testing::StubServer slow("+OK\r\n", 0, "-ERR\r\n", 4000);
    MailAccount account = servers().account("nobody", "pop3", slow.port());
    account.plainTextAllowed = true;  // it refuses STLS like any other command
    startWith(account, std::chrono::seconds(30), std::chrono::seconds(6));
    QElapsedTimer clock;
    clock.start();
    setup.program->mailIndicatorClicked();
    EXPECT_LT(clock.elapsed(), 6000 + 1500);
    const QStringList lines = log();
    const auto failed = lines.indexOf("Mailiserverisse sisselogimise viga");
    ASSERT_GE(failed, 0) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines.value(failed + 1).contains(QLatin1String("session took longer than 6 s")))
        << lines.value(failed + 1).toStdString();
}

// A relay that offers no AUTH takes the mail without log-on; a server that offers it (and here
// requires it) still gets the user and password, and a wrong one fails. The incoming server is
// dead: a notification session must not need it.
TEST_F(MailBackendTest, ANotificationLogsOnOnlyWhenTheServerOffersAuthentication) {
    const struct {
        int port;
        QString password;
        bool sent;
    } cases[] = {{servers().relayPort, MailServers::password(), true},
                 {servers().smtpPort, MailServers::password(), true},
                 {servers().smtpPort, "vale", false}};
    const QString body = "Väljund 1: sees\r\nVäljund 2: väljas\r\n";
    for (const auto& c : cases) {
        MailAccount account = servers().account(user(), "imap", testing::freePort());
        account.outgoingUrl = QStringLiteral("smtp://127.0.0.1:%1").arg(c.port);
        account.password = c.password;
        // The relay on the LAN offers no TLS: allowed by the user's choice.
        account.plainTextAllowed = c.port == servers().relayPort;
        useAccount(account);
        direct();
        const QString subject = QStringLiteral("Rike: väljund %1 %2").arg(c.port).arg(c.password);
        const QString why = failure(false, false, {"owner@example.org", subject, body});
        EXPECT_EQ(why.isEmpty(), c.sent) << why.toStdString();
        EXPECT_TRUE(c.sent || why.startsWith("SMTP log-on")) << why.toStdString();
        QByteArray raw;
        for (const QByteArray& sent : servers().mailbox("outbox")) {
            raw = readMail(sent).subject == subject ? sent : raw;
        }
        EXPECT_EQ(!raw.isEmpty(), c.sent) << subject.toStdString();
        if (raw.isEmpty()) {
            continue;
        }
        EXPECT_FALSE(raw.contains("\r\r")) << raw.toStdString();
        EXPECT_EQ(raw.count('\n'), raw.count("\r\n")) << "every line ends CR LF";
        for (const char* part : {"From: kestrum@example.org\r\n", "To: owner@example.org\r\n",
                                 "Subject: =?", "\r\nDate: ", "\r\nMessage-I", "charset=utf-8"}) {
            EXPECT_TRUE(raw.toLower().contains(QByteArray(part).toLower())) << part;
        }
        EXPECT_EQ(readMail(raw).text, body);
    }
}

// Each way in is accepted only with the test authority trusted. Once in, what the session
// remembers of a mail that has run must name that mail, and that mail alone, in every later
// session; deleting every fetched mail, in whatever order, empties the inbox.
TEST_F(MailBackendTest, TlsIsAcceptedOnlyWithTheTestAuthorityTrustedAndIdsStayWithTheirMails) {
    for (const auto& [scheme, port] :
         {std::pair{QStringLiteral("imaps"), servers().imapsPort},
          // STARTTLS is on offer here; a refused certificate must not fall back to plain text.
          std::pair{QStringLiteral("imap"), servers().imapPort},
          std::pair{QStringLiteral("pop3s"), servers().pop3sPort}}) {
        SCOPED_TRACE(scheme.toStdString());
        useAccount(servers().account(user(), scheme, port));
        VmimeMailBackend& strict = direct(std::chrono::seconds(10), false);
        const QString why = failure(true);
        EXPECT_TRUE(why.contains("certificate")) << why.toStdString();
        EXPECT_THROW(strict.fetchUnread(noneProcessed), MailError) << "no session may be left open";

        for (int i = 0; i < 3; ++i) {
            servers().deliver(user(),
                              mail("owner@example.org", QByteArray::number(i), {}, "body\r\n"));
        }
        VmimeMailBackend& mail = direct();
        QList<QMap<QString, QString>> sessions;
        for (int session = 0; session < 2; ++session) {
            mail.signOn(true, false);
            mail.fetchUnread(noneProcessed);
            QMap<QString, QString> ids;
            for (int i = 0; i < mail.messageCount(); ++i) {
                ids.insert(mail.subject(i), mail.uniqueId(i));
            }
            sessions << ids;
            if (session == 1) {
                for (int index : {2, 0, 1, 2}) {
                    mail.deleteMessage(index);
                }
            }
            mail.signOff();
        }
        ASSERT_EQ(sessions[0].size(), 3);
        EXPECT_FALSE(sessions[0].value("0").isEmpty());
        EXPECT_NE(sessions[0].value("0"), sessions[0].value("1"));
        EXPECT_EQ(sessions[0], sessions[1]);
        EXPECT_TRUE(servers().mailbox(user()).isEmpty());
    }
}

TEST_F(MailBackendTest, WithoutAnAccountTheUserIsAskedOnlyWhenAllowed) {
    direct();
    // Asked or not (no window to ask in, or the user cancelled), the reason says where to go.
    for (const bool logonUi : {false, true}) {
        EXPECT_TRUE(failure(true, logonUi).contains("settings window"));
        EXPECT_EQ(prompt.asked, logonUi ? 1 : 0);
    }
    EXPECT_TRUE(prompt.toldPasswordInSettingsFile);

    prompt.answer = servers().account(user(), "imap", servers().imapPort);
    EXPECT_EQ(failure(true, true), QString());
    EXPECT_EQ(setup.memory.read("Post", "Sisse"), prompt.answer->incomingUrl);
    EXPECT_EQ(setup.memory.read("Post", "Parool"), MailServers::password());
    // Once set up, the account is used without asking.
    EXPECT_EQ(failure(true, true), QString());
    EXPECT_EQ(prompt.asked, 2);
}

// A server that cannot be reached, never answers or answers a byte at a time must not hold the
// program past the deadline, on either side; the session is left closed. How a failed session is
// logged is the session's own test.
TEST_F(MailBackendTest, AServerThatDoesNotAnswerEndsTheOperationAtTheDeadline) {
    testing::StubServer silent({}, 0);
    testing::StubServer imap("* OK " + QByteArray(100, 'x') + "\r\n", 2000);
    testing::StubServer smtp("220 " + QByteArray(100, 'x') + "\r\n", 2000);
    const QString late = "did not finish within 3 s";
    const struct {
        bool incoming;
        int port;
        QString reason;
    } cases[] = {{true, testing::freePort(), "IMAP log-on"},
                 {true, silent.port(), late},
                 {true, imap.port(), late},
                 {false, testing::freePort(), "SMTP log-on"},
                 {false, silent.port(), late},
                 {false, smtp.port(), late}};
    for (const auto& c : cases) {
        const QString url = QStringLiteral("127.0.0.1:%1").arg(c.port);
        MailAccount account =
            servers().account(user(), "imap", c.incoming ? c.port : servers().imapPort);
        account.outgoingUrl = c.incoming ? account.outgoingUrl : "smtp://" + url;
        useAccount(account);
        VmimeMailBackend& mail = direct(std::chrono::seconds(3));
        QElapsedTimer clock;
        clock.start();
        const QString why = failure(c.incoming);
        EXPECT_TRUE(why.contains(c.reason)) << why.toStdString();
        EXPECT_LT(clock.elapsed(), 3000 + 1500) << url.toStdString();
        EXPECT_THROW(mail.fetchUnread(noneProcessed), MailError) << "no session may be left open";
    }
}

// The link breaks as the client sends one command, at every step of each protocol; a break
// after SELECT (FETCH, UID FETCH) must not crash the program as the session is dropped. The
// program lives and the session fails, saying so. The next session runs on a sound link and
// leaves the inbox empty, and the mail's command has run exactly once whatever step the break
// came at: over IMAP a mail whose commands ran before the break (EXPUNGE, and the sends of its
// confirmation) is left seen, and is deleted all the same.
TEST_F(MailBackendTest, ABrokenLinkFailsTheSessionAndTheNextOneCleansUp) {
    const struct {
        QString scheme;
        QByteArray command;
    } cases[] = {{"imap", "LOGIN"},     {"imap", "SELECT"},    {"imap", "FETCH"},
                 {"imap", "UID FETCH"}, {"imap", "UID STORE"}, {"imap", "EXPUNGE"},
                 {"imap", "LOGOUT"},    {"pop3", "STAT"},      {"pop3", "UIDL"},
                 {"pop3", "RETR"},      {"pop3", "DELE"},      {"pop3", "QUIT"},
                 {"smtp", "MAIL FROM"}, {"smtp", "DATA"},      {"smtp", "."}};
    startWith(servers().account("nobody", "imap", 1), std::chrono::seconds(10));
    int output = 0;
    for (const auto& c : cases) {
        const QString user = QStringLiteral("drop-%1-%2")
                                 .arg(c.scheme, QString::fromLatin1(c.command).toLower())
                                 .replace(QLatin1Char(' '), QLatin1Char('-'));
        SCOPED_TRACE(user.toStdString());
        // The mailboxes number their mails alike: ids from another one do not count here.
        setup.processed->keepOnly({});
        const bool sending = c.scheme == QLatin1String("smtp");
        testing::DroppingRelay relay(
            sending ? servers().relayPort
                    : (c.scheme == QLatin1String("imap") ? servers().imapPort : servers().pop3Port),
            c.command);
        MailAccount account = servers().account(user, sending ? QStringLiteral("imap") : c.scheme,
                                                sending ? servers().imapPort : relay.port());
        if (sending) {
            account.outgoingUrl = QStringLiteral("smtp://127.0.0.1:%1").arg(relay.port());
        }
        account.plainTextAllowed = true;
        saveMailAccount(setup.memory, passwords, account);
        output = output % 8 + 1;
        const QString command = QStringLiteral("KOORMUS_%1_SISSE_KOHE").arg(output);
        setup.program->state().Valjundid[output] = 0;
        servers().deliver(user, commandMail("[" + command.toLatin1() + "]\r\n"));
        QFile::remove(setup.logPath());

        setup.program->mailIndicatorClicked();
        ASSERT_TRUE(relay.dropped()) << relay.lines().join('\n').toStdString();
        const qsizetype failed = log().size();
        // Over IMAP all is done when LOGOUT goes out, and VMime does not wait for its answer.
        EXPECT_EQ(log().contains("Mailiserverisse sisselogimise viga"), c.command != "LOGOUT")
            << log().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(log().filter("the connection to the server was lost").isEmpty(),
                  c.command == "LOGOUT")
            << log().join(QLatin1Char('\n')).toStdString();
        setup.program->mailIndicatorClicked();

        const QStringList lines = log();
        EXPECT_TRUE(lines.mid(failed).filter("Mailiserverisse sisselogimise viga").isEmpty())
            << lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(lines.count("Saadeti käsk: " + command), 1)
            << lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(servers().mailbox(user).isEmpty());
        EXPECT_TRUE(setup.board.relay(output));
    }
}

// Asked for STARTTLS, the server (here, for the relay's address) refuses it: the log-on fails
// saying why and what to do, and the password never leaves the program.
TEST_F(MailBackendTest, AServerThatRefusesStarttlsIsNeverSentThePassword) {
    for (const auto& [incoming, port] : {std::pair{QStringLiteral("imap"), servers().imapPort},
                                         std::pair{QStringLiteral("pop3"), servers().pop3Port},
                                         std::pair{QString(), servers().relayPort}}) {
        testing::DroppingRelay recorder(port, {});
        MailAccount account = servers().account(
            user(), incoming.isEmpty() ? QStringLiteral("imap") : incoming, recorder.port());
        if (incoming.isEmpty()) {
            account.outgoingUrl = QStringLiteral("smtp://127.0.0.1:%1").arg(recorder.port());
        }
        useAccount(account);
        direct();
        const QString why = failure(!incoming.isEmpty());
        EXPECT_TRUE(why.contains("refused STARTTLS")) << why.toStdString();
        const QByteArrayList lines = recorder.lines();
        EXPECT_FALSE(lines.isEmpty());
        for (const QByteArray& line : lines) {
            EXPECT_FALSE(line.contains(MailServers::password().toLatin1())) << line.toStdString();
            EXPECT_FALSE(line.startsWith("AUTH")) << line.toStdString();
        }
    }
}

}  // namespace
}  // namespace kestrum
