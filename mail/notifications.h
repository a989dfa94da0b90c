#pragma once

#include "core/notifier.h"
#include "core/state.h"
#include "core/timer.h"
#include "core/ui.h"
#include "log/event_log.h"
#include "mail/mail_backend.h"

namespace kestrum {

class MailSession;

// The English warnings about the board, one short session each, to the first preferred
// address.
class Notifications : public Notifier {
public:
    Notifications(State& state, const Clock& clock, MailBackend& mail, EventLog& log,
                  MailSession& session, Ui& ui);

    bool SendNotification(int n) override;
    void EndMailSession() override;

private:
    OutgoingMail compose(int n) const;
    bool sendInRunningSession(int n);

    State& m_state;
    const Clock& m_clock;
    MailBackend& m_mail;
    EventLog& m_log;
    MailSession& m_session;
    Ui& m_ui;
    // The last notification went out in the polling session under way, which goes on.
    bool m_sentInRunningSession = false;
};

}  // namespace kestrum
