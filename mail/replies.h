#pragma once

#include "core/state.h"
#include "core/timer.h"
#include "mail/mail_backend.h"

namespace kestrum {

// The Estonian answers to mail commands, sent to the first preferred address inside the open
// session. Without that address nothing is sent.
class Replies {
public:
    Replies(const State& state, const Clock& clock, MailBackend& mail, QString logFilePath);

    // kind: "kinnitus", "logi", "seisund", "ajad", "viganekäsk" or "aegpuudu". A failed send
    // throws MailError, except for the log reply, whose errors are ignored.
    void SendReport(const QString& kind);

private:
    // "Süsteemi aeg: <time> ja kuupäev: <date>".
    QString timeLine() const;
    QString logBody() const;
    QString statusBody() const;
    QString timesBody() const;

    const State& m_state;
    const Clock& m_clock;
    MailBackend& m_mail;
    QString m_logFilePath;
};

// The fixed forms of the current time and date in mails.
QString mailTime(const QDateTime& now);
QString mailDate(const QDateTime& now);

}  // namespace kestrum
