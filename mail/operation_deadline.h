#pragma once

#include <vmime/net/timeoutHandler.hpp>

#include <chrono>
#include <memory>

namespace kestrum {

// The time by which the current network operation must be over. VMime's own handler only
// measures silence, so a server that trickles a byte now and then could hold the window for
// ever; this one counts from the start of the operation and ignores traffic.
class OperationDeadline {
public:
    using Clock = std::chrono::steady_clock;

    explicit OperationDeadline(std::chrono::milliseconds limit) : m_limit(limit) {}

    // Starts the clock of a new operation.
    void start() { m_end = Clock::now() + m_limit; }
    // True once the operation has used up its time.
    bool passed() const { return Clock::now() >= m_end; }
    std::chrono::milliseconds limit() const { return m_limit; }

    // The factory VMime asks for a handler per connection; every handler reads this deadline.
    std::shared_ptr<vmime::net::timeoutHandlerFactory> handlerFactory();

private:
    std::chrono::milliseconds m_limit;
    Clock::time_point m_end = Clock::now();
    std::shared_ptr<vmime::net::timeoutHandlerFactory> m_factory;
};

}  // namespace kestrum
