#pragma once

#include "core/state.h"
#include "core/timer.h"

#include <QString>

namespace kestrum {

// The program's diary "kaugvoolus.log": dated entries in Windows-1257 with CR LF line ends.
// Every file error is ignored: an entry that cannot be written is lost and the program goes on.
class EventLog {
public:
    EventLog(const State& state, const Clock& clock, QString filePath);

    void LogEvent(const QString& code);
    void LogInputChange(const QString& code, int n);

private:
    QString entry(const QString& text) const;
    QString failedOutputEntries() const;
    void append(const QString& entries);

    const State& m_state;
    const Clock& m_clock;
    QString m_filePath;
};

// "kaugvoolus.log" in the per-user data folder of the program.
QString defaultLogFilePath();

}  // namespace kestrum
