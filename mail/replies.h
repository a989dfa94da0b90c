#pragma once

#include "core/state.h"
#include "core/timer.h"
#include "mail/mail_backend.h"

namespace kestrum {

// What a reply answers; the comments give its kind in the program's Estonian.
enum class ReplyKind {
    Confirmation,  // "kinnitus": the commands a mail ran
    Log,           // "logi": the end of the event log
    Status,        // "seisund": each output's control, state and supervision verdict
    Times,         // "ajad": each output's switching times
    BadCommand,    // "viganekäsk": a command that could not be read
    NoTimes,       // "aegpuudu": automatic control asked of an output without times
};

// The Estonian answers to mail commands, sent to the first preferred address inside the open
// session. Without that address nothing is sent.
class Replies {
public:
    // timers: the engine's, whose due ticks run after each send.
    Replies(const State& state, const Clock& clock, MailBackend& mail, TimerFactory& timers,
            QString logFilePath);

    // A failed send throws MailError, for every kind.
    void SendReport(ReplyKind kind);

private:
    // "Süsteemi aeg: <time> ja kuupäev: <date>".
    QString timeLine() const;
    QString logBody() const;
    QString statusBody() const;
    QString timesBody() const;

    const State& m_state;
    const Clock& m_clock;
    MailBackend& m_mail;
    TimerFactory& m_timers;
    QString m_logFilePath;
};

// The fixed forms of the current time and date in mails.
QString mailTime(const QDateTime& now);
QString mailDate(const QDateTime& now);

}  // namespace kestrum
