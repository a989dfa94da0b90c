#pragma once

#include <QString>

namespace kestrum {

// An Argon2id hash of the password in libsodium's string form, salt and costs included; empty
// when libsodium could not be started or ran out of memory.
QString hashPassword(const QString& password);
// True when the password is the one the hash was made from; an empty or foreign hash matches
// nothing.
bool passwordMatches(const QString& password, const QString& hash);

}  // namespace kestrum
