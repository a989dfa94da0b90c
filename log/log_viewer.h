#pragma once

#include "core/ui.h"

#include <QString>

namespace kestrum {

// Reading and deleting the event log from the settings window.
class LogViewer {
public:
    LogViewer(Ui& ui, QString filePath);

    // The end of the log as readLogTail() gives it; a missing, empty or unreadable file is told
    // to the user and gives the empty text.
    QString ViewLog() const;
    // Deletes the log after the user agreed; a missing file is nothing to delete.
    void ComKill_Click();

private:
    Ui& m_ui;
    QString m_filePath;
};

}  // namespace kestrum
