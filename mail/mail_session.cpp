#include "mail_session.h"

#include "core/mail_countdown.h"
#include "mail/authentication_results.h"
#include "mail/busy_indicator.h"

namespace kestrum {

MailSession::MailSession(State& state, MailBackend& mail, ProcessedMails& processed, EventLog& log,
                         CommandExecutor& commands, Timer& postiKell, TimerFactory& timers, Ui& ui)
    : m_state(state),
      m_mail(mail),
      m_processed(processed),
      m_log(log),
      m_commands(commands),
      m_timers(timers),
      m_ui(ui) {
    postiKell.setOnTick([this] { PostiKell_Timer(); });
}

void MailSession::PostiKell_Timer() {
    if (mailCountdownTick(m_state)) {
        checkNow();
    }
}

void MailSession::Image1_Click() {
    checkNow();
}

// A check made while a session of ours is under way below it (its sign-on let events run) is
// refused and leaves that session to sign itself off, instead of closing it while it runs.
void MailSession::checkNow() {
    restartMailCountdown(m_state);
    const bool nested = m_running;
    const Running running(*this);
    const BusyIndicator busy(m_ui);
    if (!StartMailSession()) {
        m_log.LogEvent(LogCode::MailFailure);
    }
    if (!nested) {
        EndMailSession();
    }
}

// The commands of the session are forgotten only once it is sure to start: a check refused
// while another session runs must not empty the list that session's confirmation sends.
bool MailSession::StartMailSession() {
    m_log.LogEvent(LogCode::SessionStart);
    if (m_mail.newSession()) {
        m_state.LastMailError = QString();
        m_log.LogEvent(LogCode::MailFailure);
        return false;
    }
    m_state.ExecutedCommands = QString();
    try {
        // Raised before the sign-on, which may wait for the keyring or the log-on dialog and
        // let events run meanwhile: a check or notification made then is refused, not nested.
        m_mail.setNewSession(true);
        m_mail.signOn(true, true);
        FetchMailCommands();
        const int count = m_mail.messageCount();
        for (int i = 0; i < count; ++i) {
            m_mail.deleteMessage(i);
        }
        return true;
    } catch (const MailError& error) {
        m_state.LastMailError = error.description();
        m_log.LogEvent(LogCode::MailFailure);
        return false;
    }
}

// The sender is compared only where the preferred addresses are required; an empty preferred
// address stands for no one, so a mail without a sender is never taken for it.
bool MailSession::passesGates(int index) {
    if (!m_mail.readable(index)) {
        return false;
    }
    const QString subject = m_mail.subject(index);
    if (m_state.ParoolLubatud == 1) {
        if (subject != m_state.Subjekt.text()) {
            return false;
        }
    } else if (!(m_state.ParoolLubatud == 0)) {
        return false;
    }
    if (m_state.VerifiedSenders == 1 &&
        !senderVerified(m_mail.authenticationResults(index), m_state.AuthServId.text(),
                        m_mail.sender(index))) {
        return false;
    }
    if (m_state.PrefAdrOnly == 1) {
        const QString sender = m_mail.sender(index);
        return !sender.isEmpty() &&
               (sender == m_state.PrefAdrText1.text() || sender == m_state.PrefAdrText.text());
    }
    return m_state.PrefAdrOnly == 0;
}

// Output failures are announced by the notification mails as they happen, so there is no
// separate failure report to send after the fetch.
//
// A failed session leaves its mails on the server, and POP3 keeps no mark of a mail read: the
// id of each mail is remembered as its commands start, so that they run once, however often
// the mail is fetched. An empty id tells no mail apart and is never remembered. Only the ids
// of the mails fetched are kept; over IMAP a mail that has run is seen and not fetched again.
void MailSession::FetchMailCommands() {
    m_mail.fetchUnread(m_processed);
    const int count = m_mail.messageCount();
    QStringList ids;
    for (int i = 0; i < count; ++i) {
        ids << m_mail.uniqueId(i);
    }
    m_processed.keepOnly(QSet<QString>(ids.cbegin(), ids.cend()));
    for (int i = 0; i < count; ++i) {
        // The session holds the thread: what came due meanwhile runs between two mails.
        m_timers.runDue();
        if (m_processed.contains(ids[i]) || !passesGates(i)) {
            continue;
        }
        m_state.CommandText = QString();
        m_state.CommandText = m_mail.body(i);
        if (!ids[i].isEmpty()) {
            m_processed.add(ids[i]);
        }
        m_commands.ExecuteMailCommands();
    }
}

// A sign-off that fails still ends the session: a flag left set would refuse every later one.
// It is a failed session all the same: over IMAP the deletions may not have been made.
void MailSession::EndMailSession() {
    try {
        m_mail.signOff();
    } catch (const MailError& error) {
        m_mail.setNewSession(false);
        m_state.LastMailError = error.description();
        m_log.LogEvent(LogCode::MailFailure);
        return;
    }
    m_mail.setNewSession(false);
    m_log.LogEvent(LogCode::SignedOff);
}

}  // namespace kestrum
