#include "command_rate_limit.h"

#include "control/logging.h"

#include <algorithm>

namespace kestrum {

namespace {
constexpr qint64 kTellEveryMs = 60 * 1000;
}  // namespace

CommandRateLimit::CommandRateLimit(const Clock& clock, QString remote)
    : m_clock(clock), m_remote(std::move(remote)), m_filledAtMs(clock.monotonicMs()) {}

bool CommandRateLimit::admit() {
    const qint64 now = m_clock.monotonicMs();
    m_tokens = std::min<double>(kBurst, m_tokens + double(now - m_filledAtMs) * kPerSecond / 1000);
    m_filledAtMs = now;
    if (m_tokens >= 1) {
        m_tokens -= 1;
        return true;
    }
    ++m_dropped;
    if (m_toldAtMs < 0 || now - m_toldAtMs >= kTellEveryMs) {
        qCWarning(lcControl).noquote()
            << QStringLiteral("%1 commands come faster than %2 a second: %3 dropped")
                   .arg(m_remote)
                   .arg(kPerSecond)
                   .arg(m_dropped);
        m_toldAtMs = now;
        m_dropped = 0;
    }
    return false;
}

}  // namespace kestrum
