#include "event_log.h"

#include "windows1257.h"

#include "core/mail_gates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrum {

EventLog::EventLog(const State& state, const Clock& clock, QString filePath)
    : m_state(state), m_clock(clock), m_filePath(std::move(filePath)) {}

QString EventLog::entry(const QString& text) const {
    const QDateTime now = m_clock.now();
    return now.toString(QStringLiteral("MM-dd-yyyy")) + QStringLiteral("; ") +
           now.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("; ") + text + kNewLine;
}

QString EventLog::failedOutputEntries() const {
    QString entries;
    for (int k = 1; k <= 8; ++k) {
        if (m_state.OutputFailed[k] == 1) {
            entries += entry(QStringLiteral("Väljund: ") + m_state.KlahviNimi[k].text() +
                             QStringLiteral(" ei lülitu ümber!"));
        }
    }
    return entries;
}

QString EventLog::entries(LogCode code) const {
    const QString command = m_state.LastCommand.text();
    switch (code) {
        case LogCode::Start:
            return entry(QStringLiteral("Kestrum started"));
        case LogCode::Stop:
            return entry(QStringLiteral("Kestrum stopped"));
        case LogCode::SessionStart:
            return entry(QStringLiteral("Mailiseanss algas"));
        case LogCode::SignedOff:
            return entry(QStringLiteral("Mailiserverist edukalt välja logitud")) +
                   QStringLiteral("---------------------") + kNewLine;
        case LogCode::MailFailure:
            return entry(QStringLiteral("Mailiserverisse sisselogimise viga")) +
                   m_state.LastMailError.text() + kNewLine;
        case LogCode::CommandReceived:
            return entry(QStringLiteral("Saadeti käsk: ") + command);
        case LogCode::ConfirmationSent:
            return entry(QStringLiteral("Saadeti käsu täitmise kinnitus"));
        case LogCode::SyntaxError:
            return entry(QStringLiteral("Su sõnad on hämarik :( -> ") + command);
        case LogCode::NoTimes:
            return entry(QStringLiteral("Saadeti käsk: ") + command +
                         QStringLiteral(" kuid selle väljundi jaoks pole aegu veel määratud"));
        case LogCode::OutputsFailed:
            return failedOutputEntries();
        case LogCode::OpenMailDoor:
            return entry(openMailDoorWarning());
    }
    Q_UNREACHABLE();
}

void EventLog::LogEvent(LogCode code) {
    append(entries(code));
}

void EventLog::LogInputChange(int n) {
    append(entry(QStringLiteral("Sisend ") + signedText(n) + QStringLiteral(" (") +
                 m_state.SisendiNimi[n].text() + QStringLiteral(") on nüüd ") +
                 signedText(m_state.ReadBack[n + 8].toInt())));
}

void EventLog::LogCommandsSkipped(int limit, int skipped) {
    append(entry(QStringLiteral("Kirjas oli üle") + signedText(limit) + QStringLiteral(" käsu:") +
                 signedText(skipped) + QStringLiteral(" jäeti täitmata")));
}

// Each event after the first is set off by one space in front of its text. Appending keeps the
// cost of an event independent of the file's length, and a failed write cannot harm the
// entries already there.
void EventLog::append(const QString& entries) {
    if (m_state.Logi == 0 || entries.isEmpty()) {
        return;
    }
    QFile file(m_filePath);
    const bool existed = file.exists();
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return;
    }
    file.write(toWindows1257(existed ? QLatin1Char(' ') + entries : entries));
}

QString defaultLogFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/KaugVool/kaugvoolus.log");
}

}  // namespace kestrum
