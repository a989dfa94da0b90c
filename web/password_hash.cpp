#include "password_hash.h"

#include <sodium.h>

namespace kestrum {

namespace {

// Interactive costs: the hash is checked at every sign-in, on small boxes too.
constexpr unsigned long long kOpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr size_t kMemLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;

bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

}  // namespace

QString hashPassword(const QString& password) {
    if (!sodiumReady()) {
        return {};
    }
    const QByteArray utf8 = password.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          kOpsLimit, kMemLimit) != 0) {
        return {};
    }
    return QString::fromLatin1(hash);
}

bool passwordMatches(const QString& password, const QString& hash) {
    if (hash.isEmpty() || !sodiumReady()) {
        return false;
    }
    const QByteArray utf8 = password.toUtf8();
    const QByteArray stored = hash.toLatin1();
    return crypto_pwhash_str_verify(stored.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size())) == 0;
}

}  // namespace kestrum
