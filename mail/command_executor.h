#pragma once

#include "control/output_control.h"
#include "control/remote_switching.h"
#include "core/panel.h"
#include "core/settings_store.h"
#include "core/state.h"
#include "log/event_log.h"
#include "mail/replies.h"

#include <set>

namespace kestrum {

// Runs the bracketed commands in the body of an accepted mail: switching, control mode and
// switching times of the outputs, and the replies they ask for.
class CommandExecutor {
public:
    CommandExecutor(State& state, Panel& panel, SettingsStore& store, OutputControl& outputs,
                    EventLog& log, Replies& replies);

    // The most commands run from one mail; the rest are skipped and counted in the log.
    static constexpr int kMostCommands = 100;

    // Runs the commands of CommandText; a reply that cannot be sent throws MailError.
    void ExecuteMailCommands();

private:
    // The commands with the confirmation and the write-back at the end of the mail.
    void runMailCommands();
    // False when the rest of the mail must not be executed.
    bool execute(const QString& command);
    // The report asked for, unless this mail has already been answered with one of its kind.
    void reportOnce(ReplyKind kind);
    bool executeOutputCommand(const QString& command);
    void switchAll(int on);
    void addTime(TimeTable<Value>& table, int n, const QString& command);

    State& m_state;
    OutputControl& m_outputs;
    EventLog& m_log;
    Replies& m_replies;
    RemoteSwitching m_switching;
    std::set<ReplyKind> m_reportedInMail;
};

}  // namespace kestrum
