#pragma once

#include <vmime/net/timeoutHandler.hpp>

#include <algorithm>
#include <chrono>
#include <memory>

namespace kestrum {

// The time by which the current network operation must be over. VMime's own handler only
// measures silence, so a server that trickles a byte now and then could hold the window for
// ever; this one counts from the start of the operation and ignores traffic. A session's
// operations share a limit as well: a server that answers each one late but in time would
// otherwise hold the window for as many limits as there are operations.
class OperationDeadline {
public:
    using Clock = std::chrono::steady_clock;

    OperationDeadline(std::chrono::milliseconds limit, std::chrono::milliseconds sessionLimit)
        : m_limit(limit), m_sessionLimit(sessionLimit) {}

    // Starts the clock of a new session, which bounds every operation until endSession().
    void startSession() { m_sessionEnd = Clock::now() + m_sessionLimit; }
    void endSession() { m_sessionEnd = Clock::time_point::max(); }
    // Starts the clock of a new operation, which ends with the session at the latest.
    void start() { m_end = std::min(Clock::now() + m_limit, m_sessionEnd); }
    // True once the operation has used up its time.
    bool passed() const { return Clock::now() >= m_end; }
    // True once the session has used up its time.
    bool sessionPassed() const { return Clock::now() >= m_sessionEnd; }
    std::chrono::milliseconds limit() const { return m_limit; }
    std::chrono::milliseconds sessionLimit() const { return m_sessionLimit; }

    // The factory VMime asks for a handler per connection; every handler reads this deadline.
    std::shared_ptr<vmime::net::timeoutHandlerFactory> handlerFactory();

private:
    std::chrono::milliseconds m_limit;
    std::chrono::milliseconds m_sessionLimit;
    Clock::time_point m_end = Clock::now();
    Clock::time_point m_sessionEnd = Clock::time_point::max();
    std::shared_ptr<vmime::net::timeoutHandlerFactory> m_factory;
};

}  // namespace kestrum
