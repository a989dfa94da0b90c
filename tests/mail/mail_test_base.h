#pragma once

#include "support/log_lines.h"
#include "support/rig.h"

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
        rig.memory.write(QStringLiteral("Seaded"), QString::fromUtf8(key), QString::fromUtf8(text));
    }
    Program& start() {
        rig.time.setWallClock(QDateTime(QDate(2026, 12, 6), QTime(9, 30, 15)));
        rig.start();
        rig.mailbox.calls.clear();
        return *rig.program;
    }
    // Runs one mail of commands in a session of its own.
    void runMail(const QString& body) {
        rig.mailbox.deliver(QStringLiteral("tuulelipp"), QStringLiteral("owner@example.org"), body);
        rig.program->mailIndicatorClicked();
    }
    QStringList sentSubjects() const {
        QStringList subjects;
        for (const auto& mail : rig.mailbox.sent) {
            subjects << mail.subject;
        }
        return subjects;
    }
    QStringList log() const { return logLines(rig.logBytes()).mid(1); }

    Rig rig;
};

}  // namespace kestrum::testing
