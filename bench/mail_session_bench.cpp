// One polling session of a box that has been sent 100 command mails: sign on, fetch, read
// every mail, delete them all, sign off. It must stay far inside the poll interval.
#include "mail/settings_password_store.h"
#include "mail/vmime_mail_backend.h"

#include "support/memory_processed_mails.h"
#include "support/memory_settings_store.h"
#include "tests/support/mail_servers.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

class NoPrompt : public kestrum::AccountPrompt {
public:
    std::optional<kestrum::MailAccount> askAccount(const kestrum::MailAccount&, bool) override {
        return std::nullopt;
    }
};

void BM_SessionOf100CommandMails(benchmark::State& run) {
    kestrum::testing::MailServers servers;
    kestrum::testing::MemorySettingsStore store;
    kestrum::SettingsPasswordStore passwords(store, QString());
    NoPrompt prompt;
    const QString user = QStringLiteral("bench");
    kestrum::saveMailAccount(store, passwords,
                             servers.account(user, QStringLiteral("imap"), servers.imapPort));
    kestrum::MailOptions options;
    options.extraCaFile = servers.caFile();
    kestrum::VmimeMailBackend mail(store, passwords, prompt, options);
    const kestrum::testing::MemoryProcessedMails noneProcessed;

    for (auto _ : run) {
        run.PauseTiming();
        for (int i = 0; i < 100; ++i) {
            servers.deliver(user,
                            "From: owner@example.org\r\nTo: kestrum@example.org\r\n"
                            "Subject: =?utf-8?Q?V=C3=A4ljund_" +
                                QByteArray::number(i % 8 + 1) +
                                "?=\r\nContent-Type: text/plain; charset=utf-8\r\n"
                                "\r\n[SEES " +
                                QByteArray::number(i % 8 + 1) + "]\r\n");
        }
        run.ResumeTiming();
        mail.signOn(true, false);
        mail.fetchUnread(noneProcessed);
        for (int i = 0; i < mail.messageCount(); ++i) {
            benchmark::DoNotOptimize(mail.subject(i));
            benchmark::DoNotOptimize(mail.sender(i));
            benchmark::DoNotOptimize(mail.body(i));
            mail.deleteMessage(i);
        }
        mail.signOff();
    }
}
BENCHMARK(BM_SessionOf100CommandMails)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
