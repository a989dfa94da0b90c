#include "sessions.h"

#include <sodium.h>

namespace kestrum {

QByteArray randomToken() {
    QByteArray bytes(16, Qt::Uninitialized);
    // libsodium falls back to nothing weaker than the kernel's generator; sodium_init() is
    // not needed for randombytes_buf.
    randombytes_buf(bytes.data(), static_cast<size_t>(bytes.size()));
    return bytes.toHex();
}

QByteArray Sessions::open() {
    dropIdle();
    const QByteArray token = randomToken();
    m_sessions[token] = Session{randomToken(), m_clock.monotonicMs()};
    return token;
}

QByteArray Sessions::use(const QByteArray& token) {
    dropIdle();
    const auto found = m_sessions.find(token);
    if (token.isEmpty() || found == m_sessions.end()) {
        return {};
    }
    found->second.lastUseMs = m_clock.monotonicMs();
    return found->second.csrf;
}

void Sessions::close(const QByteArray& token) {
    m_sessions.erase(token);
}

void Sessions::dropIdle() {
    const qint64 now = m_clock.monotonicMs();
    std::erase_if(m_sessions,
                  [now](const auto& entry) { return now - entry.second.lastUseMs >= kIdleMs; });
}

bool SignInLimit::shutOut(const QHostAddress& address) {
    const auto found = m_records.find(address.toString());
    return found != m_records.end() && m_clock.monotonicMs() < found->second.shutOutUntilMs;
}

bool SignInLimit::failed(const QHostAddress& address) {
    const qint64 now = m_clock.monotonicMs();
    // Records of addresses that stopped failing long ago are of no use.
    std::erase_if(m_records, [now](const auto& entry) {
        const Record& record = entry.second;
        return now >= record.shutOutUntilMs &&
               (record.failuresMs.empty() || now - record.failuresMs.back() >= kWindowMs);
    });
    Record& record = m_records[address.toString()];
    while (!record.failuresMs.empty() && now - record.failuresMs.front() >= kWindowMs) {
        record.failuresMs.pop_front();
    }
    record.failuresMs.push_back(now);
    if (static_cast<int>(record.failuresMs.size()) < kFailures) {
        return false;
    }
    record.failuresMs.clear();
    record.shutOutUntilMs = now + kWindowMs;
    return true;
}

}  // namespace kestrum
