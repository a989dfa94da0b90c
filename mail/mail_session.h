#pragma once

#include "core/state.h"
#include "core/timer.h"
#include "core/ui.h"
#include "log/event_log.h"
#include "mail/command_executor.h"
#include "mail/mail_backend.h"
#include "mail/processed_mails.h"

namespace kestrum {

// Mail control: every period, or at once on a click on the mail image, the unread mails are
// fetched, those with the right password from an allowed sender have their commands run, and
// every fetched mail is deleted.
class MailSession {
public:
    MailSession(State& state, MailBackend& mail, ProcessedMails& processed, EventLog& log,
                CommandExecutor& commands, Timer& postiKell, TimerFactory& timers, Ui& ui);

    // One minute of the countdown has passed.
    void PostiKell_Timer();
    // Checks mail now and starts a fresh period.
    void Image1_Click();
    // True when the whole session went through.
    bool StartMailSession();
    void EndMailSession();
    // A session of ours is under way: the board's timers may run between its mails.
    bool running() const { return m_running; }

    // Marks a session of ours as under way for its lifetime.
    class Running {
    public:
        explicit Running(MailSession& session)
            : m_session(session), m_wasRunning(session.m_running) {
            m_session.m_running = true;
        }
        ~Running() { m_session.m_running = m_wasRunning; }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        MailSession& m_session;
        bool m_wasRunning;
    };

private:
    void checkNow();
    void FetchMailCommands();
    bool passesGates(int index);

    State& m_state;
    MailBackend& m_mail;
    ProcessedMails& m_processed;
    EventLog& m_log;
    CommandExecutor& m_commands;
    TimerFactory& m_timers;
    Ui& m_ui;
    bool m_running = false;
};

}  // namespace kestrum
