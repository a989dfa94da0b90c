// A mail's commands must cost time linear in the mail's size, whatever a stranger puts in it:
// compare the time per byte across sizes.
#include "support/program_on_doubles.h"

#include <benchmark/benchmark.h>

namespace {

// Empty brackets: a command each. One opening bracket and closing ones only: each takes the
// whole text since the opening bracket again.
QString hostileMail(int kind, int size) {
    return kind == 0 ? QStringLiteral("[]").repeated(size / 2)
                     : QLatin1Char('[') + QString(size / 2, QLatin1Char('x')) +
                           QString(size / 2, QLatin1Char(']'));
}

void BM_ExecuteHostileMail(benchmark::State& run) {
    kestrum::testing::ProgramOnDoubles setup;
    kestrum::Program& program = setup.start();
    const QString mail =
        hostileMail(static_cast<int>(run.range(0)), static_cast<int>(run.range(1)));
    for (auto _ : run) {
        program.state().ExecutedCommands = QString();
        program.state().CommandText = mail;
        program.commands().ExecuteMailCommands();
    }
    run.SetBytesProcessed(run.iterations() * run.range(1));
}
BENCHMARK(BM_ExecuteHostileMail)
    ->ArgsProduct({{0, 1}, {20000, 200000}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
