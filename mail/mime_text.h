#pragma once

#include <QByteArray>
#include <QString>

#include <vmime/message.hpp>

namespace kestrum {

// Bytes in the named charset as text. Bytes that are invalid in it, and every non-ASCII byte
// of a charset we do not know, become U+FFFD.
QString decodeCharset(const QByteArray& bytes, const QByteArray& charset);

// The readable text of an HTML document: tags dropped, entities decoded, block ends as line ends.
QString htmlToText(const QString& html);

// The text of the mail: its first text/plain part, else the text of its first text/html part,
// transfer encoding and charset decoded.
QString messageText(const vmime::message& message);

}  // namespace kestrum
