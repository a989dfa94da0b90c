#include "replies.h"

#include "control/entry_timing.h"
#include "log/log_tail.h"

namespace kestrum {

QString mailTime(const QDateTime& now) {
    return now.toString(QStringLiteral("HH:mm:ss"));
}
QString mailDate(const QDateTime& now) {
    return now.toString(QStringLiteral("dd.MM.yyyy"));
}

Replies::Replies(const State& state, const Clock& clock, MailBackend& mail, TimerFactory& timers,
                 QString logFilePath)
    : m_state(state),
      m_clock(clock),
      m_mail(mail),
      m_timers(timers),
      m_logFilePath(std::move(logFilePath)) {}

QString Replies::timeLine() const {
    const QDateTime now = m_clock.now();
    return QStringLiteral("Süsteemi aeg: ") + mailTime(now) + QStringLiteral(" ja kuupäev: ") +
           mailDate(now);
}

void Replies::SendReport(ReplyKind kind) {
    if (m_state.PrefAdrText.text().isEmpty()) {
        return;
    }
    OutgoingMail mail{m_state.PrefAdrText.text(), {}, {}};
    switch (kind) {
        case ReplyKind::Confirmation:
            mail.subject = QStringLiteral("Kaugvoole käsu täitmise kinnitusteade");
            mail.body = QStringLiteral("Täideti järgnevad käsud:") + kNewLine +
                        m_state.ExecutedCommands.text();
            break;
        case ReplyKind::Log:
            mail.subject = QStringLiteral("Kaugvoole logi");
            mail.body = logBody();
            break;
        case ReplyKind::Status:
            mail.subject = QStringLiteral("Kaugvoole hetkeseis");
            mail.body = statusBody();
            break;
        case ReplyKind::Times:
            mail.subject = QStringLiteral("Kaugvoole väljundite lülitumisajad");
            mail.body = timesBody();
            break;
        case ReplyKind::BadCommand:
            mail.subject = QStringLiteral("Kaugvool ei saan'd  komandole pihta");
            mail.body = QStringLiteral("Imelik käsk: ") + m_state.LastCommand.text();
            break;
        case ReplyKind::NoTimes:
            mail.subject = QStringLiteral("Kaugvool ei saan'd  käsku täita");
            mail.body = QStringLiteral("Saadeti käsk: ") + m_state.LastCommand.text() +
                        QStringLiteral(" kuid selle väljundi jaoks pole aegu veel määratud") +
                        kNewLine;
            break;
    }
    m_mail.send(mail);
    // A send may take a while: the board's scans, the schedule and the strobe go on between.
    m_timers.runDue();
}

// A log of years would make a mail no server takes: only its end is sent.
QString Replies::logBody() const {
    const QString log = readLogTail(m_logFilePath);
    if (log.isEmpty()) {
        return QStringLiteral("Logifail puudub või on tühi") + kNewLine;
    }
    return log + kNewLine + timeLine();
}

QString Replies::statusBody() const {
    QString body;
    for (int k = 1; k <= 8; ++k) {
        body += m_state.KlahviNimi[k].text();
        body += m_state.Juhtimine[k] == 0 ? QStringLiteral(": käsitsi juhtimisel, ")
                                          : QStringLiteral(": automaatjuhtimisel, ");
        body += m_state.Valjundid[k] == 0 ? QStringLiteral("hetkel välja lülitatud, ")
                                          : QStringLiteral("hetkel sisse lülitatud, ");
        if (m_state.ControlEnabled == 1) {
            if (m_state.OutputFailed[k] == 0) {
                body += QStringLiteral("OK!");
            } else if (m_state.OutputFailed[k] == 1) {
                body += QStringLiteral("RIKE!!!");
            }
        }
        body += kNewLine;
    }
    body += timeLine() + kNewLine;
    if (m_state.ControlEnabled == 0) {
        body += QStringLiteral("Väljundite turvakontroll välja lülitatud !");
    }
    return body;
}

// An entry with neither weekdays nor sun times reads as its clock time and date (or "iga
// päev"), so that a reply about clock times alone keeps the form its readers know.
QString Replies::timesBody() const {
    const QDateTime now = m_clock.now();
    const QDate today = now.date();
    const std::optional<Place> place = placeOf(m_state.Latitude, m_state.Longitude);
    SunTimes sun;
    const auto timeWords = [&](const Value& slot, const EntryTime& time) {
        if (!time.isSun()) {
            return slot.text().right(8);
        }
        if (!place) {
            return time.words() + QStringLiteral(" (asukoht seadmata)");
        }
        const SunOnDay on = time.on(today, *place, now.timeZone(), sun);
        return time.words() + QStringLiteral(" (") +
               (on.moment ? QStringLiteral("täna ") + on.moment->toString(QStringLiteral("HH:mm"))
                          : noSunTimeWords(on.why, time.kind)) +
               QStringLiteral(")");
    };
    QString body;
    for (int k = 1; k <= 8; ++k) {
        body += m_state.KlahviNimi[k].text() + kNewLine;
        const bool daily = m_state.Sisseajad(21, k) == 1;
        for (int p = 1; p <= 10; ++p) {
            const int e = entryNumber(k, p);
            const Weekdays weekdays = Weekdays::fromText(m_state.Nadalapaevad[e].text());
            const auto slotPair = [&](const TimeTable<Value>& table,
                                      const State::PerEntry& sunTimes) {
                const QString days = weekdays.limited() ? QStringLiteral(" - ") + weekdays.words()
                                     : daily            ? QStringLiteral("iga päev")
                                             : QStringLiteral(" - ") + table(2 * p, k).text();
                return timeWords(table(2 * p - 1, k), EntryTime::fromText(sunTimes[e].text())) +
                       days + kNewLine;
            };
            body += signedText(p) + QStringLiteral(": sisse - ") +
                    slotPair(m_state.Sisseajad, m_state.PaikeSisse);
            body += QStringLiteral("välja - ") + slotPair(m_state.Valjaajad, m_state.PaikeValja);
        }
    }
    return body + timeLine();
}

}  // namespace kestrum
