#include "operation_deadline.h"

namespace kestrum {

namespace {

class DeadlineHandler : public vmime::net::timeoutHandler {
public:
    explicit DeadlineHandler(const OperationDeadline& deadline) : m_deadline(deadline) {}

    bool isTimeOut() override { return m_deadline.passed(); }
    // Traffic must not buy the server more time.
    void resetTimeOut() override {}
    // Never extend: the operation ends with operation_timed_out.
    bool handleTimeOut() override { return false; }

private:
    const OperationDeadline& m_deadline;
};

class DeadlineHandlerFactory : public vmime::net::timeoutHandlerFactory {
public:
    explicit DeadlineHandlerFactory(const OperationDeadline& deadline) : m_deadline(deadline) {}

    std::shared_ptr<vmime::net::timeoutHandler> create() override {
        return std::make_shared<DeadlineHandler>(m_deadline);
    }

private:
    const OperationDeadline& m_deadline;
};

}  // namespace

std::shared_ptr<vmime::net::timeoutHandlerFactory> OperationDeadline::handlerFactory() {
    if (!m_factory) {
        m_factory = std::make_shared<DeadlineHandlerFactory>(*this);
    }
    return m_factory;
}

}  // namespace kestrum
