#pragma once

#include "core/timer.h"

#include <QByteArray>
#include <QHostAddress>
#include <QString>

#include <deque>
#include <map>

namespace kestrum {

// Signed-in browsers: each has a random cookie token and a token of its own for the header
// that every changing request must carry. A session ends after kIdleMs without a request.
class Sessions {
public:
    static constexpr qint64 kIdleMs = 12LL * 60 * 60 * 1000;

    explicit Sessions(const Clock& clock) : m_clock(clock) {}

    // A new session's cookie token: 128 random bits in hex.
    QByteArray open();
    // The CSRF token of the session, which the request keeps alive; empty when there is none
    // or it has ended.
    QByteArray use(const QByteArray& token);
    void close(const QByteArray& token);
    void closeAll() { m_sessions.clear(); }

private:
    struct Session {
        QByteArray csrf;
        qint64 lastUseMs;
    };
    void dropIdle();

    const Clock& m_clock;
    std::map<QByteArray, Session> m_sessions;
};

// Guessing the password: kFailures wrong ones within kWindowMs from one address shut that
// address out of the sign-in for kWindowMs.
class SignInLimit {
public:
    static constexpr int kFailures = 5;
    static constexpr qint64 kWindowMs = 60 * 1000;

    explicit SignInLimit(const Clock& clock) : m_clock(clock) {}

    bool shutOut(const QHostAddress& address);
    // True when this failure shuts the address out.
    bool failed(const QHostAddress& address);

private:
    struct Record {
        std::deque<qint64> failuresMs;
        qint64 shutOutUntilMs = -1;
    };

    const Clock& m_clock;
    std::map<QString, Record> m_records;
};

// 128 random bits in hex, from the system's secure source.
QByteArray randomToken();

}  // namespace kestrum
