#include "notifications.h"

#include "mail/busy_indicator.h"
#include "mail/mail_session.h"
#include "mail/replies.h"

namespace kestrum {

Notifications::Notifications(State& state, const Clock& clock, MailBackend& mail, EventLog& log,
                             MailSession& session, Ui& ui)
    : m_state(state), m_clock(clock), m_mail(mail), m_log(log), m_session(session), m_ui(ui) {}

OutgoingMail Notifications::compose(int n) const {
    OutgoingMail mail{m_state.PrefAdrText.text(), {}, {}};
    if (n <= 8) {
        mail.subject = QStringLiteral("Kestrums input changed !");
        mail.body = QStringLiteral("Kestrums input nr. ") + signedText(n) + QStringLiteral(" (") +
                    m_state.SisendiNimi[n].text() + QStringLiteral(") is now ") +
                    (m_state.ReadBack[n + 8] == 1 ? QStringLiteral("HIGH") : QStringLiteral("LOW"));
    } else {
        const int k = n - 9;
        mail.subject = QStringLiteral("Kestrums output failed !");
        mail.body = QStringLiteral("Kestrums output nr. ") + signedText(k) + QStringLiteral(" (") +
                    m_state.KlahviNimi[k].text() + QStringLiteral(") FAILED to switch !");
    }
    const QDateTime now = m_clock.now();
    mail.body += kNewLine + QStringLiteral("System time: ") + mailTime(now) +
                 QStringLiteral(" and Date: ") + mailDate(now) + kNewLine +
                 QStringLiteral("Your Kestrum.") + kNewLine;
    return mail;
}

// The board's scans run between the mails of a polling session: a warning raised then goes out
// in that session rather than being refused for it.
bool Notifications::sendInRunningSession(int n) {
    try {
        m_mail.send(compose(n));
        m_sentInRunningSession = true;
        return true;
    } catch (const MailError& error) {
        m_state.LastMailError = error.description();
        m_log.LogEvent(LogCode::MailFailure);
        return false;
    }
}

bool Notifications::SendNotification(int n) {
    if (m_state.PrefAdrText.text().isEmpty()) {
        return false;
    }
    if (m_session.running() && m_mail.newSession()) {
        return sendInRunningSession(n);
    }
    if (m_mail.newSession()) {
        m_state.LastMailError = QString();
        m_log.LogEvent(LogCode::MailFailure);
        return false;
    }
    m_log.LogEvent(LogCode::SessionStart);
    const MailSession::Running running(m_session);
    const BusyIndicator busy(m_ui);
    bool signedOn = false;
    try {
        // Raised before the sign-on, as for a polling session: it may let events run.
        m_mail.setNewSession(true);
        m_mail.signOn(false, true);
        signedOn = true;
        m_mail.send(compose(n));
    } catch (const MailError& error) {
        m_state.LastMailError = error.description();
        m_log.LogEvent(LogCode::MailFailure);
        if (!signedOn) {
            m_mail.setNewSession(false);
        }
    }
    return signedOn;
}

void Notifications::EndMailSession() {
    if (m_sentInRunningSession) {
        m_sentInRunningSession = false;
        return;
    }
    m_session.EndMailSession();
}

}  // namespace kestrum
