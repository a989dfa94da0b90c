#include "command_executor.h"

#include "control/entry_timing.h"
#include "control/remote_commands.h"

#include <QRegularExpression>

#include <algorithm>

namespace kestrum {

namespace {

constexpr int kLongestCommand = 64;
const QStringList kReplyCommands = {QStringLiteral("LOGI"), QStringLiteral("SEISUND"),
                                    QStringLiteral("AJAD")};

bool opens(QChar c) {
    return c == QLatin1Char('<') || c == QLatin1Char('[');
}
bool closes(QChar c) {
    return c == QLatin1Char('>') || c == QLatin1Char(']');
}

bool startsWithEither(const QString& text, const char* one, const char* other) {
    return text.startsWith(QLatin1String(one)) || text.startsWith(QLatin1String(other));
}

}  // namespace

CommandExecutor::CommandExecutor(State& state, Panel& panel, SettingsStore& store,
                                 OutputControl& outputs, EventLog& log, Replies& replies)
    : m_state(state),
      m_outputs(outputs),
      m_log(log),
      m_replies(replies),
      m_switching(state, panel, store, outputs, RemoteSwitching::Gate::EmailControl) {}

// A reply that cannot be sent ends the session, but what the mail changed before it has taken
// effect and must outlive a restart too.
void CommandExecutor::ExecuteMailCommands() {
    try {
        runMailCommands();
    } catch (const MailError&) {
        m_switching.save();
        throw;
    }
}

// Positions below count from 1, as the command language is written. The opening position is
// not reset after a command: a closing bracket without a new opening one takes again all from
// the last opening bracket, and one with none before it takes the text from position 2.
//
// A mail of thousands of commands would hold the board and flood the owner with replies: only
// the first commands run, and each kind of reply goes once.
void CommandExecutor::runMailCommands() {
    const QString text = m_state.CommandText.text();
    m_reportedInMail.clear();
    int start = 1;
    int taken = 0;
    for (int i = 1; i <= text.size(); ++i) {
        const QChar c = text[i - 1];
        if (opens(c)) {
            start = i;
        } else if (closes(c) && i > start && ++taken <= kMostCommands) {
            // A closing bracket with no opening one of its own takes the text since the last
            // opening again: taken whole, a hostile mail of such brackets would cost time
            // quadratic in its size. No command of the language is nearly this long.
            const int length = std::min(i - start - 1, kLongestCommand);
            if (!execute(text.mid(start, length).toUpper())) {
                return;
            }
        }
    }
    if (taken > kMostCommands) {
        m_log.LogCommandsSkipped(kMostCommands, taken - kMostCommands);
    }
    if (m_state.Confirm == 1 && !kReplyCommands.contains(m_state.LastCommand.text())) {
        m_log.LogEvent(LogCode::ConfirmationSent);
        m_replies.SendReport(ReplyKind::Confirmation);
    }
    m_switching.save();
}

bool CommandExecutor::execute(const QString& command) {
    m_outputs.catchUpSchedule();
    m_state.LastCommand = command;
    m_log.LogEvent(LogCode::CommandReceived);
    m_state.ExecutedCommands.append(command + kNewLine);
    if (command == QLatin1String("LOGI")) {
        reportOnce(ReplyKind::Log);
    } else if (command == QLatin1String("SEISUND")) {
        reportOnce(ReplyKind::Status);
    } else if (command == QLatin1String("AJAD")) {
        reportOnce(ReplyKind::Times);
    } else if (command.startsWith(QLatin1String("KOORMUS"))) {
        return executeOutputCommand(command);
    }
    return true;
}

void CommandExecutor::reportOnce(ReplyKind kind) {
    if (m_reportedInMail.insert(kind).second) {
        m_replies.SendReport(kind);
    }
}

// KOORMUS, a separator at 8, the output digit at 9 (0 = all) and the action from 10 on.
bool CommandExecutor::executeOutputCommand(const QString& command) {
    const QChar separator = command.size() >= 8 ? command[7] : QChar();
    if (separator != QLatin1Char('_') && separator != QLatin1Char('-')) {
        m_log.LogEvent(LogCode::SyntaxError);
        m_replies.SendReport(ReplyKind::BadCommand);
        return false;
    }
    const QChar digit = command.size() >= 9 ? command[8] : QChar();
    const int n = digit.isDigit() ? digit.digitValue() : 0;
    // A digit that names no output is taken like an unrecognised command, rather than
    // ending the session and leaving this mail and every later one in the mailbox.
    const bool oneOutput = n >= 1 && n <= 8;
    const QString action = command.mid(9);
    // "_SISSE_20MIN": on for 1 to 1440 minutes; any other count of minutes is no command.
    static const QRegularExpression pulse(QStringLiteral("^[_-]SISSE[_-](\\d*)MIN$"));
    const QRegularExpressionMatch pulseMatch = pulse.match(action);

    if (pulseMatch.hasMatch() && n > 0) {
        if (oneOutput && m_switching.pulse(n, pulseMatch.captured(1).left(5).toInt()) ==
                             RemoteSwitching::Result::OutOfRange) {
            m_log.LogEvent(LogCode::SyntaxError);
            m_replies.SendReport(ReplyKind::BadCommand);
            return false;
        }
    } else if (startsWithEither(action, "_SISSE", "-SISSE") && n == 0) {
        switchAll(1);
    } else if (startsWithEither(action, "_VALJA", "-VALJA") && n == 0) {
        switchAll(0);
    } else if (const RemoteCommandEntry* named = remoteCommandOfMailAction(action)) {
        // Logged as received like every command of a mail; a refused schedule is also answered.
        if (oneOutput &&
            m_switching.carryOut(n, named->command, m_log) == RemoteSwitching::Result::NoTimes) {
            m_replies.SendReport(ReplyKind::NoTimes);
            return false;
        }
    } else if (startsWithEither(action, "_SISSE_", "-SISSE-") && n > 0) {
        if (oneOutput) {
            addTime(m_state.Sisseajad, n, command);
        }
    } else if (startsWithEither(action, "_VALJA_", "-VALJA-") && n > 0) {
        if (oneOutput) {
            addTime(m_state.Valjaajad, n, command);
        }
    }
    return true;
}

void CommandExecutor::switchAll(int on) {
    for (int k = 1; k <= 8; ++k) {
        m_state.Mode[k] = 0;
        m_outputs.endPulse(k);
        m_outputs.setWanted(k, on);
    }
    m_outputs.shiftAndSave();
}

// The time (positions 17..24) and date (26..35) are stored as they stand; the first pair with
// both slots empty takes them, or pair 10 when all are in use.
void CommandExecutor::addTime(TimeTable<Value>& table, int n, const QString& command) {
    int pair = 10;
    for (int p = 1; p <= 10; ++p) {
        if (table(2 * p - 1, n) == 0 && table(2 * p, n) == 0) {
            pair = p;
            break;
        }
    }
    table(2 * pair - 1, n) = command.mid(16, 8);
    table(2 * pair, n) = command.mid(25, 10);
    // A mail names a clock time on a date: the pair's side is a clock time again, and a pair
    // taken afresh fires on its date, whatever weekdays it held before.
    const bool on = &table == &m_state.Sisseajad;
    const int e = entryNumber(n, pair);
    (on ? m_state.PaikeSisse : m_state.PaikeValja)[e] = EntryTime{}.text();
    const TimeTable<Value>& other = on ? m_state.Valjaajad : m_state.Sisseajad;
    if (other(2 * pair - 1, n) == 0 && other(2 * pair, n) == 0) {
        m_state.Nadalapaevad[e] = Weekdays{}.text();
    }
    table(21, n) = 0;
    m_state.Initsialiseeritud[n] = 1;
    m_switching.setControl(n, true);
}

}  // namespace kestrum
