#pragma once

#include "support/log_lines.h"
#include "support/printers.h"
#include "support/program_on_doubles.h"

#include <gtest/gtest.h>

namespace kestrum::testing {

// A started program with logging and mail on, whose mails are run one click at a time.
class MailTestBase : public ::testing::Test {
protected:
    MailTestBase() {
        setSeaded("Logi", "1");
        setSeaded("MailEnabled", "1");
        setSeaded("PrefAdrText", "owner@example.org");
    }
    void setSeaded(const char* key, const char* text) {
        setup.memory.write(QStringLiteral("Seaded"), QString::fromUtf8(key),
                           QString::fromUtf8(text));
    }
    Program& start() {
        setup.time.setWallClock(QDateTime(QDate(2026, 12, 6), QTime(9, 30, 15)));
        setup.start();
        m_startLines = logLines(setup.logBytes()).size();
        setup.mailbox.calls.clear();
        return *setup.program;
    }
    State& state() { return setup.program->state(); }
    // Runs one mail of commands in a session of its own; returns the lines it logged and
    // leaves in `sent` only the mails it answered with.
    QStringList runMail(const QString& body) {
        const qsizetype before = log().size();
        setup.mailbox.sent.clear();
        setup.mailbox.deliver(QStringLiteral("tuulelipp"), QStringLiteral("owner@example.org"),
                              body);
        setup.program->mailIndicatorClicked();
        return log().mid(before);
    }
    QStringList sentSubjects() const {
        QStringList subjects;
        for (const auto& mail : setup.mailbox.sent) {
            subjects << mail.subject;
        }
        return subjects;
    }
    // What was logged after the start and its warnings.
    QStringList log() const { return logLines(setup.logBytes()).mid(m_startLines); }

    ProgramOnDoubles setup;

private:
    qsizetype m_startLines = 0;
};

}  // namespace kestrum::testing
