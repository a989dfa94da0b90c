#include "mail_servers.h"

#include <QDir>
#include <QFile>

#include <pwd.h>
#include <unistd.h>

#include <stdexcept>

namespace kestrum::testing {

namespace {

void fail(const QString& what) {
    throw std::runtime_error(what.toStdString());
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        fail(QStringLiteral("cannot write %1").arg(path));
    }
}

// Dovecot's mail processes and the SMTP server run as nobody; their files must be its own.
void giveToMailUser(const QString& path) {
    if (getuid() != 0) {
        return;
    }
    const passwd* nobody = getpwnam("nobody");
    if (!nobody ||
        chown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
        fail(QStringLiteral("cannot give %1 to nobody").arg(path));
    }
}

MailServers* runningServers = nullptr;

class StopServersAtTheEnd : public ::testing::Environment {
public:
    void TearDown() override {
        delete runningServers;
        runningServers = nullptr;
    }
};

[[maybe_unused]] ::testing::Environment* const stopServersAtTheEnd =
    ::testing::AddGlobalTestEnvironment(new StopServersAtTheEnd);

}  // namespace

void MailServersTest::SetUpTestSuite() {
    if (runningServers == nullptr) {
        runningServers = new MailServers;
    }
}

MailServers& MailServersTest::servers() {
    return *runningServers;
}

MailServers::MailServers() {
    if (!m_dir.isValid()) {
        fail(QStringLiteral("no temporary folder"));
    }
    // Dovecot's auth user and the mail user must reach the files below the folder.
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                            QFile::ExeOther);
    QDir(m_dir.path()).mkpath(QStringLiteral("home"));
    giveToMailUser(m_dir.filePath(QStringLiteral("home")));
    for (int* port :
         {&imapPort, &imapsPort, &pop3Port, &pop3sPort, &smtpPort, &smtpsPort, &relayPort}) {
        *port = freePort();
    }
    makeTestCertificates(m_dir.path());
    try {
        startDovecot();
        startSmtp();
    } catch (...) {
        stopServer(m_smtp);
        stopServer(m_dovecot);
        throw;
    }
}

MailServers::~MailServers() {
    stopServer(m_smtp);
    stopServer(m_dovecot);
}

QString MailServers::caFile() const {
    return m_dir.filePath(QStringLiteral("ca.crt"));
}

void MailServers::startDovecot() {
    const QString dir = m_dir.path();
    QDir(dir).mkpath(QStringLiteral("run"));
    QDir(dir).mkpath(QStringLiteral("state"));
    QFile model(QStringLiteral(KESTRUM_DOVECOT_CONFIG));
    if (!model.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1").arg(model.fileName()));
    }
    const QString config = QString::fromUtf8(model.readAll())
                               .replace(QStringLiteral("@DIR@"), dir)
                               .replace(QStringLiteral("@PASSWORD@"), password())
                               .replace(QStringLiteral("@IMAP@"), QString::number(imapPort))
                               .replace(QStringLiteral("@IMAPS@"), QString::number(imapsPort))
                               .replace(QStringLiteral("@POP3@"), QString::number(pop3Port))
                               .replace(QStringLiteral("@POP3S@"), QString::number(pop3sPort));
    const QString configFile = m_dir.filePath(QStringLiteral("dovecot.conf"));
    writeFile(configFile, config.toUtf8());
    m_dovecot = std::make_unique<QProcess>();
    m_dovecot->setWorkingDirectory(dir);
    m_dovecot->setProcessChannelMode(QProcess::MergedChannels);
    m_dovecot->start(QStringLiteral("/usr/sbin/dovecot"),
                     {QStringLiteral("-F"), QStringLiteral("-c"), configFile});
    waitUntilListening(*m_dovecot, {imapPort, imapsPort, pop3Port, pop3sPort},
                       m_dir.filePath(QStringLiteral("dovecot.log")));
}

void MailServers::startSmtp() {
    makeMaildir(QStringLiteral("outbox"));
    // Read by the server after it has become nobody.
    for (const QString& file : {QStringLiteral("server.crt"), QStringLiteral("server.key")}) {
        giveToMailUser(m_dir.filePath(file));
    }
    m_smtp = std::make_unique<QProcess>();
    m_smtp->setWorkingDirectory(QDir::rootPath());
    m_smtp->setProcessChannelMode(QProcess::MergedChannels);
    m_smtp->start(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral(KESTRUM_SMTP_SERVER_SCRIPT), QString::number(smtpPort),
         QString::number(smtpsPort), QString::number(relayPort),
         m_dir.filePath(QStringLiteral("server.crt")), m_dir.filePath(QStringLiteral("server.key")),
         maildir(QStringLiteral("outbox")), password()});
    QByteArray output;
    while (!output.contains("ready\n")) {
        if (!m_smtp->waitForReadyRead(20000)) {
            fail(QStringLiteral("the SMTP server did not start: %1")
                     .arg(QString::fromLocal8Bit(output + m_smtp->readAll())));
        }
        output += m_smtp->readAll();
    }
}

QString MailServers::maildir(const QString& user) const {
    return m_dir.filePath(QStringLiteral("home/%1/Maildir").arg(user));
}

void MailServers::makeMaildir(const QString& user) const {
    const QString root = maildir(user);
    for (const QString& sub :
         {QStringLiteral("new"), QStringLiteral("cur"), QStringLiteral("tmp")}) {
        QDir().mkpath(root + QLatin1Char('/') + sub);
    }
    for (const QString& path : {QFileInfo(root).path(), root, root + QStringLiteral("/new"),
                                root + QStringLiteral("/cur"), root + QStringLiteral("/tmp")}) {
        giveToMailUser(path);
    }
}

MailAccount MailServers::account(const QString& user, const QString& incomingScheme,
                                 int incomingPort) const {
    return {QStringLiteral("%1://127.0.0.1:%2").arg(incomingScheme).arg(incomingPort),
            QStringLiteral("smtp://127.0.0.1:%1").arg(smtpPort), user, password(),
            QStringLiteral("kestrum@example.org")};
}

void MailServers::deliver(const QString& user, const QByteArray& rawMail) {
    makeMaildir(user);
    static int serial = 0;
    const QString path =
        QStringLiteral("%1/new/%2.%3.kestrum").arg(maildir(user)).arg(getpid()).arg(++serial);
    writeFile(path, rawMail);
    giveToMailUser(path);
}

QList<QByteArray> MailServers::mailbox(const QString& user) const {
    QList<QByteArray> mails;
    for (const QString& sub : {QStringLiteral("new"), QStringLiteral("cur")}) {
        const QDir folder(maildir(user) + QLatin1Char('/') + sub);
        for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            file.open(QIODevice::ReadOnly);
            mails.append(file.readAll());
        }
    }
    return mails;
}

}  // namespace kestrum::testing
