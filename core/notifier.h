#pragma once

namespace kestrum {

// Mails the owner about an event of the board, each in a short session of its own.
class Notifier {
public:
    virtual ~Notifier() = default;

    // Event n: 1..8 input n changed, 10..17 output n - 9 failed to switch. True when a session
    // was opened, which the caller closes with EndMailSession(), even if the mail then failed.
    virtual bool SendNotification(int n) = 0;
    virtual void EndMailSession() = 0;
};

}  // namespace kestrum
