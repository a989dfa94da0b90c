// The cost of one log entry must not grow with the log file: the log only ever grows, and a
// box left running for years writes into a large file.
#include "log/event_log.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

class FixedClock : public kestrum::Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 6), QTime(12, 0)); }
    qint64 monotonicMs() const override { return 0; }
};

void BM_LogEventIntoFileOfSize(benchmark::State& run) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("kaugvoolus.log"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(run.range(0), 'x'));
    file.close();

    kestrum::State state;
    state.Logi = 1;
    FixedClock clock;
    kestrum::EventLog log(state, clock, path);
    for (auto _ : run) {
        log.LogEvent(kestrum::LogCode::SessionStart);
    }
}
BENCHMARK(BM_LogEventIntoFileOfSize)->Arg(0)->Arg(1 << 20)->Arg(64 << 20);

}  // namespace

BENCHMARK_MAIN();
