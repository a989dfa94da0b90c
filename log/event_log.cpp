#include "event_log.h"

#include "windows1257.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kestrum {

namespace {
const QString kNewLine = QStringLiteral("\r\n");
}  // namespace

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

void EventLog::LogEvent(const QString& code) {
    const QString command = m_state.LastCommand.text();
    QString text;
    if (code == QLatin1String("Start")) {
        text = entry(QStringLiteral("Kestrum started"));
    } else if (code == QLatin1String("Stopp")) {
        text = entry(QStringLiteral("Kestrum stopped"));
    } else if (code == QLatin1String("seansialgus")) {
        text = entry(QStringLiteral("Mailiseanss algas"));
    } else if (code == QStringLiteral("Mailiserverist edukalt välja logitud")) {
        text = entry(code) + QStringLiteral("---------------------") + kNewLine;
    } else if (code == QLatin1String("Mailiserverisse sisselogimise viga")) {
        text = entry(code) + m_state.LastMailError.text() + kNewLine;
    } else if (code == QStringLiteral("Saadeti käsk")) {
        text = entry(QStringLiteral("Saadeti käsk: ") + command);
    } else if (code == QStringLiteral("Saadeti käsu täitmise kinnitus")) {
        text = entry(code);
    } else if (code == QStringLiteral("süntaks")) {
        text = entry(QStringLiteral("Su sõnad on hämarik :( -> ") + command);
    } else if (code == QLatin1String("aegpuudu")) {
        text = entry(QStringLiteral("Saadeti käsk: ") + command +
                     QStringLiteral(" kuid selle väljundi jaoks pole aegu veel määratud"));
    } else if (code == QStringLiteral("VäljundRikkis")) {
        text = failedOutputEntries();
    }
    append(text);
}

void EventLog::LogInputChange(const QString&, int n) {
    append(entry(QStringLiteral("Sisend ") + signedText(n) + QStringLiteral(" (") +
                 m_state.SisendiNimi[n].text() + QStringLiteral(") on nüüd ") +
                 signedText(m_state.ReadBack[n + 8].toInt())));
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
