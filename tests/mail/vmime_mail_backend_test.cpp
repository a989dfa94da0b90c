#include "mail/vmime_mail_backend.h"
#include "mail/raw_mail.h"
#include "mail/settings_password_store.h"

#include "mail/mail_servers.h"
#include "mail/stub_server.h"
#include "support/memory_settings_store.h"
#include "support/printers.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

using testing::MailServers;
using testing::MemorySettingsStore;
using testing::StubServer;

class ScriptedPrompt : public AccountPrompt {
public:
    std::optional<MailAccount> answer;
    int asked = 0;
    bool toldPasswordInSettingsFile = false;

    std::optional<MailAccount> askAccount(const MailAccount&,
                                          bool passwordInSettingsFile) override {
        ++asked;
        toldPasswordInSettingsFile = passwordInSettingsFile;
        return answer;
    }
};

const QByteArray plainMail =
    "From: =?utf-8?Q?Omanik_=C3=84?= <owner@example.org>\r\n"
    "To: kestrum@example.org\r\n"
    "Subject: SEISUND\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: text/plain; charset=us-ascii\r\n"
    "\r\n"
    "[SEISUND]\r\n";

QByteArray mailWith(const QByteArray& subject, const QByteArray& headers, const QByteArray& body) {
    return "From: owner@example.org\r\nTo: kestrum@example.org\r\nSubject: " + subject +
           "\r\nMIME-Version: 1.0\r\n" + headers + "\r\n" + body;
}

class MailBackendTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_servers = new MailServers; }
    static void TearDownTestSuite() {
        delete s_servers;
        s_servers = nullptr;
    }

    // Each test has a mailbox of its own, named after it.
    QString user() const {
        return QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name())
            .toLower();
    }
    MailServers& servers() { return *s_servers; }

    void useAccount(const MailAccount& account) { saveMailAccount(m_store, m_passwords, account); }
    void useImap() {
        useAccount(servers().account(user(), QStringLiteral("imap"), servers().imapPort));
    }

    VmimeMailBackend& backend(std::chrono::milliseconds deadline = std::chrono::seconds(10),
                              bool trustTestCa = true) {
        MailOptions options;
        options.deadline = deadline;
        if (trustTestCa) {
            options.extraCaFile = servers().caFile();
        }
        m_backend = std::make_unique<VmimeMailBackend>(m_store, m_passwords, m_prompt, options);
        return *m_backend;
    }

    int indexOfSubject(VmimeMailBackend& mail, const QString& subject) {
        for (int i = 0; i < mail.messageCount(); ++i) {
            if (mail.subject(i) == subject) {
                return i;
            }
        }
        ADD_FAILURE() << "no fetched mail has subject " << subject.toStdString();
        return 0;
    }

    MemorySettingsStore m_store;
    SettingsPasswordStore m_passwords{m_store, QString()};
    ScriptedPrompt m_prompt;
    std::unique_ptr<VmimeMailBackend> m_backend;

    static MailServers* s_servers;
};

MailServers* MailBackendTest::s_servers = nullptr;

TEST_F(MailBackendTest, FetchDecodesSubjectsSendersAndBodies) {
    servers().deliver(user(), plainMail);
    servers().deliver(
        user(), mailWith("=?UTF-8?B?TMO8bGl0YSBrw7VpayB2w6RsamE=?= =?windows-1257?Q?_=F0=FE?=",
                         "Content-Type: text/plain; charset=windows-1257\r\n"
                         "Content-Transfer-Encoding: quoted-printable\r\n",
                         "V=E4ljund =F5 =F6 =FC =F0 =FE=\r\n l=F5pp\r\n"));
    servers().deliver(user(), mailWith("utf8",
                                       "Content-Type: text/plain; charset=utf-8\r\n"
                                       "Content-Transfer-Encoding: quoted-printable\r\n",
                                       "=C3=A4 =C3=B5 =C3=B6 =C3=BC =C5=A1 =C5=BE\r\n"));
    servers().deliver(user(), mailWith("html", "Content-Type: text/html; charset=utf-8\r\n",
                                       "<html><head><title>x</title></head><body>\r\n"
                                       "<p><b>[SEISUND]</b></p><p>V&auml;ljund&nbsp;1 &amp; 2</p>"
                                       "</body></html>\r\n"));
    servers().deliver(user(), mailWith("unknown",
                                       "Content-Type: text/plain; charset=x-kestrum\r\n"
                                       "Content-Transfer-Encoding: 8bit\r\n",
                                       "abc \xE4\xF5\r\n"));
    servers().deliver(user(), mailWith("invalid",
                                       "Content-Type: text/plain; charset=utf-8\r\n"
                                       "Content-Transfer-Encoding: 8bit\r\n",
                                       "ok \xFF\xC3\r\n"));
    servers().deliver(
        user(), mailWith("alternative", "Content-Type: multipart/alternative; boundary=\"b\"\r\n",
                         "--b\r\nContent-Type: text/plain; charset=utf-8\r\n"
                         "Content-Transfer-Encoding: base64\r\n\r\n"
                         "W1NFSVNVTkRdIMO1\r\n"
                         "--b\r\nContent-Type: text/html\r\n\r\n<p>html</p>\r\n--b--\r\n"));
    useImap();
    VmimeMailBackend& mail = backend();
    mail.signOn(true, false);
    mail.fetchUnread();
    ASSERT_EQ(mail.messageCount(), 7);

    const int plain = indexOfSubject(mail, QStringLiteral("SEISUND"));
    EXPECT_EQ(mail.sender(plain), QStringLiteral("owner@example.org"));
    EXPECT_EQ(mail.body(plain), QStringLiteral("[SEISUND]\r\n"));
    EXPECT_EQ(mail.body(indexOfSubject(mail, QStringLiteral("Lülita kõik välja šž"))),
              QStringLiteral("Väljund õ ö ü š ž lõpp\r\n"));
    EXPECT_EQ(mail.body(indexOfSubject(mail, QStringLiteral("utf8"))),
              QStringLiteral("ä õ ö ü š ž\r\n"));
    EXPECT_EQ(mail.body(indexOfSubject(mail, QStringLiteral("html"))),
              QStringLiteral("[SEISUND]\r\nVäljund 1 & 2"));
    EXPECT_EQ(mail.body(indexOfSubject(mail, QStringLiteral("unknown"))),
              QStringLiteral("abc \uFFFD\uFFFD\r\n"));
    EXPECT_EQ(mail.body(indexOfSubject(mail, QStringLiteral("invalid"))),
              QStringLiteral("ok \uFFFD\uFFFD\r\n"));
    EXPECT_EQ(mail.body(indexOfSubject(mail, QStringLiteral("alternative"))),
              QStringLiteral("[SEISUND] õ"));
    mail.signOff();
}

TEST_F(MailBackendTest, DeletingEveryFetchedMailEmptiesTheInboxWhateverTheOrder) {
    for (int i = 0; i < 4; ++i) {
        servers().deliver(user(), mailWith(QByteArray::number(i), {}, "body\r\n"));
    }
    useImap();
    VmimeMailBackend& mail = backend();
    mail.signOn(true, false);
    mail.fetchUnread();
    ASSERT_EQ(mail.messageCount(), 4);
    for (int index : {2, 0, 3, 1, 2}) {
        mail.deleteMessage(index);
    }
    mail.signOff();
    EXPECT_TRUE(servers().mailbox(user()).isEmpty());

    mail.signOn(true, false);
    mail.fetchUnread();
    EXPECT_EQ(mail.messageCount(), 0);
    mail.signOff();
}

TEST_F(MailBackendTest, AMailReadButNotDeletedIsNotFetchedAgain) {
    servers().deliver(user(), mailWith("read", {}, "first\r\n"));
    servers().deliver(user(), mailWith("only looked at", {}, "second\r\n"));
    useImap();
    VmimeMailBackend& mail = backend();
    mail.signOn(true, false);
    mail.fetchUnread();
    ASSERT_EQ(mail.messageCount(), 2);
    EXPECT_EQ(mail.body(indexOfSubject(mail, QStringLiteral("read"))), QStringLiteral("first\r\n"));
    EXPECT_EQ(mail.sender(indexOfSubject(mail, QStringLiteral("only looked at"))),
              QStringLiteral("owner@example.org"));
    mail.signOff();

    mail.signOn(true, false);
    mail.fetchUnread();
    ASSERT_EQ(mail.messageCount(), 1);
    EXPECT_EQ(mail.subject(0), QStringLiteral("only looked at"));
    mail.signOff();
}

TEST_F(MailBackendTest, Pop3FetchesAndDeletes) {
    servers().deliver(user(), plainMail);
    servers().deliver(user(), mailWith("teine", {}, "two\r\n"));
    useAccount(servers().account(user(), QStringLiteral("pop3"), servers().pop3Port));
    VmimeMailBackend& mail = backend();
    mail.signOn(true, false);
    mail.fetchUnread();
    ASSERT_EQ(mail.messageCount(), 2);
    const int plain = indexOfSubject(mail, QStringLiteral("SEISUND"));
    EXPECT_EQ(mail.sender(plain), QStringLiteral("owner@example.org"));
    EXPECT_EQ(mail.body(plain), QStringLiteral("[SEISUND]\r\n"));
    mail.deleteMessage(1);
    mail.deleteMessage(0);
    mail.signOff();
    EXPECT_TRUE(servers().mailbox(user()).isEmpty());
}

// What the session remembers of a mail that has run must name that mail, and that mail alone,
// in every later session.
TEST_F(MailBackendTest, UniqueIdsStayWithTheirMailsAcrossSessions) {
    servers().deliver(user(), mailWith("one", {}, "1\r\n"));
    servers().deliver(user(), mailWith("two", {}, "2\r\n"));
    for (const auto& [scheme, port] : {std::pair{QStringLiteral("imap"), servers().imapPort},
                                       std::pair{QStringLiteral("pop3"), servers().pop3Port}}) {
        SCOPED_TRACE(scheme.toStdString());
        useAccount(servers().account(user(), scheme, port));
        VmimeMailBackend& mail = backend();
        QList<QMap<QString, QString>> sessions;
        for (int session = 0; session < 2; ++session) {
            mail.signOn(true, false);
            mail.fetchUnread();
            QMap<QString, QString> ids;
            for (int i = 0; i < mail.messageCount(); ++i) {
                ids.insert(mail.subject(i), mail.uniqueId(i));
            }
            mail.signOff();
            sessions << ids;
        }
        ASSERT_EQ(sessions[0].size(), 2);
        EXPECT_FALSE(sessions[0].value(QStringLiteral("one")).isEmpty());
        EXPECT_NE(sessions[0].value(QStringLiteral("one")),
                  sessions[0].value(QStringLiteral("two")));
        EXPECT_EQ(sessions[0], sessions[1]);
    }
}

TEST_F(MailBackendTest, SendsTheExactSubjectAndBodyInANotificationSession) {
    MailAccount account = servers().account(user(), QStringLiteral("imap"), testing::freePort());
    // The incoming server is dead: a notification session must not need it.
    useAccount(account);
    VmimeMailBackend& mail = backend();
    const QString body = QStringLiteral("Väljund 1: sees\r\nVäljund 2: väljas\r\n");
    const QString subject = QStringLiteral("Rike: väljund 3 ei järgi");
    mail.signOn(false, false);
    mail.send({QStringLiteral("owner@example.org"), subject, body});
    mail.signOff();

    QByteArray raw;
    MailContent read;
    for (const QByteArray& sent : servers().mailbox(QStringLiteral("outbox"))) {
        read = readMail(sent);
        if (read.subject == subject) {
            raw = sent;
            break;
        }
    }
    ASSERT_FALSE(raw.isEmpty()) << "the mail did not arrive";
    EXPECT_FALSE(raw.contains("\r\r")) << raw.toStdString();
    EXPECT_EQ(raw.count('\n'), raw.count("\r\n")) << "every line ends CR LF";
    EXPECT_TRUE(raw.contains("From: kestrum@example.org\r\n")) << raw.toStdString();
    EXPECT_TRUE(raw.contains("To: owner@example.org\r\n"));
    EXPECT_TRUE(raw.contains("Subject: =?"));
    EXPECT_TRUE(raw.contains("\r\nDate: "));
    EXPECT_TRUE(raw.contains("\r\nMessage-Id: ") || raw.contains("\r\nMessage-ID: "));
    EXPECT_TRUE(raw.contains("charset=utf-8") || raw.contains("charset=UTF-8"));
    EXPECT_EQ(read.text, body);
}

TEST_F(MailBackendTest, SendsOverImplicitTls) {
    MailAccount account =
        servers().account(QStringLiteral("outbox"), QStringLiteral("imaps"), servers().imapsPort);
    account.outgoingUrl = QStringLiteral("smtps://127.0.0.1:%1").arg(servers().smtpsPort);
    useAccount(account);
    VmimeMailBackend& mail = backend();
    mail.signOn(true, false);
    mail.send(
        {QStringLiteral("owner@example.org"), QStringLiteral("tls"), QStringLiteral("x\r\n")});
    mail.signOff();
    // The inbox as selected before the mail arrived does not show it; a new session does.
    mail.signOn(true, false);
    mail.fetchUnread();
    EXPECT_EQ(mail.body(indexOfSubject(mail, QStringLiteral("tls"))), QStringLiteral("x\r\n"));
    mail.signOff();
}

// A relay that offers no AUTH takes the mail without log-on; a server that offers it (and here
// requires it) still gets the user and password, and a wrong one fails.
TEST_F(MailBackendTest, LogsOnToTheOutgoingServerOnlyWhenItOffersAuthentication) {
    struct Case {
        int port;
        QString password;
        bool sent;
    };
    for (const Case& c : {Case{servers().relayPort, MailServers::password(), true},
                          Case{servers().smtpPort, MailServers::password(), true},
                          Case{servers().smtpPort, QStringLiteral("vale"), false}}) {
        MailAccount account = servers().account(user(), QStringLiteral("imap"), servers().imapPort);
        account.outgoingUrl = QStringLiteral("smtp://127.0.0.1:%1").arg(c.port);
        account.password = c.password;
        useAccount(account);
        VmimeMailBackend& mail = backend();
        const QString subject = QStringLiteral("via %1 %2").arg(c.port).arg(c.password);
        try {
            mail.signOn(false, false);
            mail.send({QStringLiteral("owner@example.org"), subject, QStringLiteral("x\r\n")});
            mail.signOff();
            EXPECT_TRUE(c.sent) << subject.toStdString();
        } catch (const MailError& e) {
            EXPECT_FALSE(c.sent) << e.description().toStdString();
            EXPECT_TRUE(e.description().startsWith(QStringLiteral("SMTP log-on")))
                << e.description().toStdString();
        }
        bool arrived = false;
        for (const QByteArray& sent : servers().mailbox(QStringLiteral("outbox"))) {
            arrived = arrived || readMail(sent).subject == subject;
        }
        EXPECT_EQ(arrived, c.sent) << subject.toStdString();
    }
}

TEST_F(MailBackendTest, TlsIsAcceptedOnlyWithTheTestAuthorityTrusted) {
    servers().deliver(user(), plainMail);
    for (const auto& [scheme, port] :
         {std::pair{QStringLiteral("imaps"), servers().imapsPort},
          // STARTTLS is on offer here; a refused certificate must not fall back to plain text.
          std::pair{QStringLiteral("imap"), servers().imapPort},
          // Last: fetching a mail over POP3 reads it whole, which marks it seen over IMAP.
          std::pair{QStringLiteral("pop3s"), servers().pop3sPort}}) {
        SCOPED_TRACE(scheme.toStdString());
        useAccount(servers().account(user(), scheme, port));
        VmimeMailBackend& trusting = backend(std::chrono::seconds(10), true);
        trusting.signOn(true, false);
        trusting.fetchUnread();
        EXPECT_EQ(trusting.messageCount(), 1);
        trusting.signOff();

        VmimeMailBackend& strict = backend(std::chrono::seconds(10), false);
        try {
            strict.signOn(true, false);
            ADD_FAILURE() << "an untrusted certificate was accepted";
        } catch (const MailError& e) {
            EXPECT_TRUE(e.description().contains(QStringLiteral("certificate")))
                << e.description().toStdString();
        }
        EXPECT_THROW(strict.fetchUnread(), MailError) << "no session may be left open";
    }
}

TEST_F(MailBackendTest, WrongPasswordFailsTheLogOnAndLeavesNoSession) {
    MailAccount account = servers().account(user(), QStringLiteral("imap"), servers().imapPort);
    account.password = QStringLiteral("vale");
    useAccount(account);
    VmimeMailBackend& mail = backend();
    try {
        mail.signOn(true, false);
        ADD_FAILURE() << "a wrong password was accepted";
    } catch (const MailError& e) {
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("IMAP log-on to 127.0.0.1:")))
            << e.description().toStdString();
    }
    EXPECT_THROW(mail.send({QStringLiteral("owner@example.org"), {}, {}}), MailError);
}

class LogOnTest : public MailBackendTest {};

TEST_F(LogOnTest, WithoutAnAccountTheUserIsAskedOnlyWhenAllowed) {
    VmimeMailBackend& mail = backend();
    // Asked or not (no window to ask in, or the user cancelled), the reason says where to go.
    const auto failsPointingToTheSettings = [&](bool logonUi) {
        try {
            mail.signOn(true, logonUi);
            ADD_FAILURE() << "a session opened without an account";
        } catch (const MailError& e) {
            EXPECT_EQ(e.description(),
                      QStringLiteral("no mail account is set up: set it in the settings window"));
        }
    };
    failsPointingToTheSettings(false);
    EXPECT_EQ(m_prompt.asked, 0);

    failsPointingToTheSettings(true);
    EXPECT_EQ(m_prompt.asked, 1);
    EXPECT_TRUE(m_prompt.toldPasswordInSettingsFile);

    m_prompt.answer = servers().account(user(), QStringLiteral("imap"), servers().imapPort);
    mail.signOn(true, true);
    mail.fetchUnread();
    mail.signOff();
    EXPECT_EQ(m_store.read(QStringLiteral("Post"), QStringLiteral("Sisse")),
              m_prompt.answer->incomingUrl);
    EXPECT_EQ(m_store.read(QStringLiteral("Post"), QStringLiteral("Välja")),
              m_prompt.answer->outgoingUrl);
    EXPECT_EQ(m_store.read(QStringLiteral("Post"), QStringLiteral("Kasutaja")), user());
    EXPECT_EQ(m_store.read(QStringLiteral("Post"), QStringLiteral("Saatja")),
              QStringLiteral("kestrum@example.org"));
    EXPECT_EQ(m_store.read(QStringLiteral("Post"), QStringLiteral("Parool")),
              MailServers::password());

    // Once set up, the account is used without asking.
    mail.signOn(true, true);
    mail.signOff();
    EXPECT_EQ(m_prompt.asked, 2);
}

TEST_F(LogOnTest, AccountTestReportsBothServers) {
    MailAccount account = servers().account(user(), QStringLiteral("imaps"), servers().imapsPort);
    MailOptions options;
    options.extraCaFile = servers().caFile();
    const QString good = testMailAccount(account, options);
    EXPECT_TRUE(good.contains(QStringLiteral("Incoming: OK, TLS"))) << good.toStdString();
    EXPECT_TRUE(good.contains(QStringLiteral("Outgoing: OK"))) << good.toStdString();

    account.outgoingUrl = QStringLiteral("smtp://127.0.0.1:%1").arg(testing::freePort());
    const QString bad = testMailAccount(account, options);
    EXPECT_TRUE(bad.contains(QStringLiteral("Incoming: OK"))) << bad.toStdString();
    EXPECT_TRUE(bad.contains(QStringLiteral("Outgoing: SMTP log-on"))) << bad.toStdString();
}

// A server that cannot be reached, never answers or answers a byte at a time must not hold the
// program past the deadline.
class DeadlineTest : public MailBackendTest {
protected:
    static constexpr auto deadline = std::chrono::seconds(3);

    void expectEndsInTime(const std::function<void(VmimeMailBackend&)>& operation,
                          const QString& expectedText) {
        VmimeMailBackend& mail = backend(deadline);
        QElapsedTimer clock;
        clock.start();
        try {
            operation(mail);
            ADD_FAILURE() << "the operation succeeded";
        } catch (const MailError& e) {
            EXPECT_TRUE(e.description().contains(expectedText)) << e.description().toStdString();
        }
        EXPECT_LT(clock.elapsed(), 3000 + 1500);
    }

    void useIncomingPort(int port) {
        useAccount(servers().account(user(), QStringLiteral("imap"), port));
    }
    void useOutgoingPort(int port) {
        MailAccount account = servers().account(user(), QStringLiteral("imap"), servers().imapPort);
        account.outgoingUrl = QStringLiteral("smtp://127.0.0.1:%1").arg(port);
        useAccount(account);
    }
    static void signOn(VmimeMailBackend& mail) { mail.signOn(true, false); }
    static void notify(VmimeMailBackend& mail) {
        mail.signOn(false, false);
        mail.send({QStringLiteral("owner@example.org"), QStringLiteral("x"), QStringLiteral("y")});
    }
};

TEST_F(DeadlineTest, DeadServer) {
    useIncomingPort(testing::freePort());
    expectEndsInTime(signOn, QStringLiteral("IMAP log-on"));
    useOutgoingPort(testing::freePort());
    expectEndsInTime(notify, QStringLiteral("SMTP log-on"));
}

TEST_F(DeadlineTest, SilentServer) {
    StubServer silent({}, 0);
    useIncomingPort(silent.port());
    expectEndsInTime(signOn, QStringLiteral("did not finish within 3 s"));
    useOutgoingPort(silent.port());
    expectEndsInTime(notify, QStringLiteral("did not finish within 3 s"));
}

TEST_F(DeadlineTest, TricklingServer) {
    StubServer imap("* OK " + QByteArray(100, 'x') + "\r\n", 2000);
    useIncomingPort(imap.port());
    expectEndsInTime(signOn, QStringLiteral("did not finish within 3 s"));
    StubServer smtp("220 " + QByteArray(100, 'x') + "\r\n", 2000);
    useOutgoingPort(smtp.port());
    expectEndsInTime(notify, QStringLiteral("did not finish within 3 s"));
}

}  // namespace
}  // namespace kestrum
