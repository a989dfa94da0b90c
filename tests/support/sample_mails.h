#pragma once

#include <QByteArray>

namespace kestrum::testing {

// Encoded words that make VMime's header parser throw, in whatever field they stand.
inline const QByteArray kUnparseableWords = "=??b?bA=?utf-e?==??b?bG==?=";

// A mail from the owner with the right subject whose text, the command, sits `levels` multiparts
// deep. Without boundary lines VMime takes the rest of each body for its one part.
inline QByteArray nestedMail(int levels, bool withBoundaries, const QByteArray& command) {
    QByteArray mail = "From: owner@example.org\r\nSubject: tuulelipp\r\nMIME-Version: 1.0\r\n";
    for (int level = 0; level < levels; ++level) {
        const QByteArray boundary = "b" + QByteArray::number(level);
        mail += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
        if (withBoundaries) {
            mail += "--" + boundary + "\r\n";
        }
    }
    return mail + "Content-Type: text/plain\r\n\r\n" + command + "\r\n";
}

}  // namespace kestrum::testing
