// How long a mail session of 100 command mails holds the program's thread, and so stops the
// board scans: the whole program on the simulated board with the real settings file, against
// Dovecot and an SMTP server on 127.0.0.1. Each mail switches an output, so every mail's
// commands are written back to the store.
#include "core/qsettings_store.h"
#include "core/settings_keys.h"
#include "mail/settings_password_store.h"
#include "mail/vmime_mail_backend.h"
#include "support/program_on_doubles.h"
#include "tests/support/mail_servers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

using namespace kestrum;

class NoPrompt : public AccountPrompt {
public:
    std::optional<MailAccount> askAccount(const MailAccount&, bool) override {
        return std::nullopt;
    }
};

// Bytes handed to write() by this process so far; what goes out through send() is not counted.
long long writtenBytes() {
    std::ifstream io("/proc/self/io");
    std::string name;
    long long value = 0;
    while (io >> name >> value) {
        if (name == "wchar:") {
            return value;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    const QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    kestrum::testing::MailServers servers;
    QSettingsStore store;
    SettingsPasswordStore passwords(store, store.fileName());
    NoPrompt prompt;
    const QString user = QStringLiteral("bench");
    saveMailAccount(store, passwords,
                    servers.account(user, QStringLiteral("imap"), servers.imapPort));
    MailOptions options;
    options.extraCaFile = servers.caFile();
    VmimeMailBackend mail(store, passwords, prompt, options);

    kestrum::testing::ProgramOnDoubles setup;
    setup.store = &store;
    setup.mail = &mail;
    store.write(sections::Seaded, general::MailEnabled.key, QStringLiteral("1"));
    store.write(sections::Seaded, general::ControlEnabled.key, QStringLiteral("1"));
    Program& program = setup.start();
    for (int i = 0; i < 100; ++i) {
        const QByteArray n = QByteArray::number(i % 8 + 1);
        const QByteArray action = (i / 8) % 2 == 0 ? "SISSE" : "VALJA";
        servers.deliver(user, "From: owner@example.org\r\nTo: kestrum@example.org\r\nSubject: " +
                                  n + "\r\nContent-Type: text/plain\r\n\r\n[KOORMUS_" + n + "_" +
                                  action + "_KOHE]\r\n");
    }
    const long long before = writtenBytes();
    QElapsedTimer held;
    held.start();
    program.mailIndicatorClicked();
    const qint64 heldMs = held.elapsed();
    std::printf("100 command mails: the thread held %lld ms, %.1f KB written to files during it\n",
                static_cast<long long>(heldMs), double(writtenBytes() - before) / 1e3);
    std::printf("commands executed: %lld\n",
                static_cast<long long>(
                    program.state().ExecutedCommands.text().count(QStringLiteral("KOORMUS_"))));
    return 0;
}
