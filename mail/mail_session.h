#pragma once

#include "core/state.h"
#include "core/timer.h"
#include "core/ui.h"
#include "log/event_log.h"
#include "mail/command_executor.h"
#include "mail/mail_backend.h"

namespace kestrum {

// Mail control: every period, or at once on a click on the mail image, the unread mails are
// fetched, those with the right password from an allowed sender have their commands run, and
// every fetched mail is deleted.
class MailSession {
public:
    MailSession(State& state, MailBackend& mail, EventLog& log, CommandExecutor& commands,
                Timer& postiKell, Ui& ui);

    // One minute of the countdown has passed.
    void PostiKell_Timer();
    // Checks mail now and starts a fresh period.
    void Image1_Click();
    // True when the whole session went through.
    bool StartMailSession();
    void EndMailSession();

    static int periodMinutes(const State& state) { return (state.MailCheckInt.toInt() + 1) * 5; }

private:
    void checkNow();
    void FetchMailCommands();
    bool passesGates(int index);

    State& m_state;
    MailBackend& m_mail;
    EventLog& m_log;
    CommandExecutor& m_commands;
    Ui& m_ui;
};

}  // namespace kestrum
