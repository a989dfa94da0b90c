#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace kestrum {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the event loop, so that a stop from outside ends
// the program the same orderly way as its Exit button. A second signal ends it at once.
class SignalExit : public QObject {
    Q_OBJECT
public:
    explicit SignalExit(std::function<void()> onSignal);
    ~SignalExit() override;

private:
    std::function<void()> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace kestrum
