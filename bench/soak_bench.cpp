// A program left running for days must not grow: ten program-hours of the whole engine on the
// simulated board, with two outputs strobing, supervision on, mail checked every five minutes
// and the log written to a real file, and the resident memory compared before and after. Exits
// non-zero past the allowance.
#include "core/settings_keys.h"
#include "support/program_on_doubles.h"

#include <QFileInfo>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>

namespace {

using namespace kestrum;

constexpr qint64 kMinuteMs = 60 * 1000;
constexpr qint64 kHourMs = 60 * kMinuteMs;
constexpr qint64 kWarmUpMs = kMinuteMs;
constexpr int kSoakHours = 10;
constexpr long kAllowedGrowthKb = 10 * 1024;

// The second field of /proc/self/statm counts resident pages.
long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void strobe(testing::ProgramOnDoubles& setup, int output, const char* onMs, const char* offMs) {
    setup.memory.write(sections::Mode.section, sections::Mode.key(output), QStringLiteral("1"));
    setup.memory.write(sections::StroboSees.section, sections::StroboSees.key(output),
                       QString::fromLatin1(onMs));
    setup.memory.write(sections::StroboValjas.section, sections::StroboValjas.key(output),
                       QString::fromLatin1(offMs));
}

}  // namespace

int main() {
    testing::ProgramOnDoubles setup;
    setup.memory.write(sections::Seaded, general::Logi.key, QStringLiteral("1"));
    setup.memory.write(sections::Seaded, general::ControlEnabled.key, QStringLiteral("1"));
    setup.memory.write(sections::Seaded, general::MailEnabled.key, QStringLiteral("1"));
    setup.memory.write(sections::Seaded, general::MailCheckInt.key, QStringLiteral("5"));
    strobe(setup, 1, "100", "100");
    strobe(setup, 2, "100", "300");
    setup.start();

    setup.time.advance(kWarmUpMs);
    const long startKb = residentKb();
    const auto wallStart = std::chrono::steady_clock::now();
    std::printf("after warm-up: %ld KB resident\n", startKb);
    for (int hour = 1; hour <= kSoakHours; ++hour) {
        setup.time.advance(kHourMs);
        std::printf("program-hour %d: %ld KB resident\n", hour, residentKb());
        std::fflush(stdout);
    }
    const long endKb = residentKb();
    const auto wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

    std::printf(
        "log file %lld bytes, %lld mail checks\n",
        static_cast<long long>(QFileInfo(setup.logPath()).size()),
        static_cast<long long>(setup.mailbox.calls.filter(QStringLiteral("signOff")).size()));
    const long growthKb = endKb - startKb;
    std::printf("start %ld KB, end %ld KB, growth %ld KB over %d program-hours in %.1f s\n",
                startKb, endKb, growthKb, kSoakHours, wallSeconds);
    if (growthKb >= kAllowedGrowthKb) {
        std::printf("FAIL: growth of %ld KB reaches the allowance of %ld KB\n", growthKb,
                    kAllowedGrowthKb);
        return 1;
    }
    return 0;
}
