#pragma once

#include "core/state.h"
#include "core/timer.h"

#include <QString>

namespace kestrum {

// What an event entry tells; each writes its fixed text. The comments give the event's code in
// the program's Estonian.
enum class LogCode {
    Start,             // "Start"
    Stop,              // "Stopp"
    SessionStart,      // "seansialgus"
    SignedOff,         // "Mailiserverist edukalt välja logitud", then a separator line
    MailFailure,       // "Mailiserverisse sisselogimise viga", then the error's description
    CommandReceived,   // "Saadeti käsk", with the command
    ConfirmationSent,  // "Saadeti käsu täitmise kinnitus"
    SyntaxError,       // "süntaks", with the command
    NoTimes,           // "aegpuudu": automatic control asked of an output without times
    OutputsFailed,     // "VäljundRikkis": an entry for each output that did not switch
    OpenMailDoor,      // mail control is on with no gate: any mail to the account switches
};

// The program's diary "kaugvoolus.log": dated entries in Windows-1257 with CR LF line ends.
// Every file error is ignored: an entry that cannot be written is lost and the program goes on.
class EventLog {
public:
    EventLog(const State& state, const Clock& clock, QString filePath);

    void LogEvent(LogCode code);
    // Input n changed to the level it was last read at.
    void LogInputChange(int n);
    // A mail held more commands than are run from one mail; `skipped` of them were not run.
    void LogCommandsSkipped(int limit, int skipped);

private:
    QString entry(const QString& text) const;
    QString entries(LogCode code) const;
    QString failedOutputEntries() const;
    void append(const QString& entries);

    const State& m_state;
    const Clock& m_clock;
    QString m_filePath;
};

// "kaugvoolus.log" in the per-user data folder of the program.
QString defaultLogFilePath();

}  // namespace kestrum
