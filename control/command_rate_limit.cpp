#include "command_rate_limit.h"

#include "control/logging.h"

#include <algorithm>

namespace kestrum {

namespace {
constexpr qint64 kTellEveryMs = 60 * 1000;
}  // namespace

CommandRateLimit::CommandRateLimit(const Clock* clock) : m_clock(clock) {
    m_elapsed.start();
    m_filledAtMs = nowMs();
}

bool CommandRateLimit::admit() {
    const qint64 now = nowMs();
    m_tokens = std::min<double>(kBurst, m_tokens + double(now - m_filledAtMs) * kPerSecond / 1000);
    m_filledAtMs = now;
    if (m_tokens >= 1) {
        m_tokens -= 1;
        return true;
    }
    ++m_dropped;
    if (m_toldAtMs < 0 || now - m_toldAtMs >= kTellEveryMs) {
        qCWarning(lcControl).noquote()
            << QStringLiteral("Remote commands come faster than %1 a second: %2 dropped")
                   .arg(kPerSecond)
                   .arg(m_dropped);
        m_toldAtMs = now;
        m_dropped = 0;
    }
    return false;
}

}  // namespace kestrum
