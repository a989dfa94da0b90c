#pragma once

#include "mail/mail_backend.h"
#include "mail/password_store.h"

#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace kestrum::testing {

// A keyring that takes its time: read waits on an event loop, as the system keyring's answer
// does, and runs whileWaiting inside it. As with the keyring, a wait that something else ended
// (a stop of the program) is a failure, not an empty password.
class WaitingPasswordStore : public PasswordStore {
public:
    std::function<void()> whileWaiting = [] {};

    QString read(const QString&) override {
        QEventLoop loop;
        bool answered = false;
        QTimer::singleShot(0, &loop, whileWaiting);
        QTimer::singleShot(2000, &loop, [&] {
            answered = true;
            loop.quit();
        });
        loop.exec();
        if (!answered) {
            throw MailError(QStringLiteral("the wait for the keyring was ended"));
        }
        return QStringLiteral("secret");
    }
    void write(const QString&, const QString&) override {}
    bool keepsInSettingsFile() override { return false; }
};

}  // namespace kestrum::testing
