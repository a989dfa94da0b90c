#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace kestrum {

// The values of the mail's top header fields of that name (any case), topmost first: unfolded,
// without the one space that follows the colon, every other byte as sent.
QList<QByteArray> headerFieldValues(const QByteArray& mail, QByteArrayView name);

// Unstructured header text with its encoded words decoded; the blanks between two encoded words
// go, everything else stays as sent. 8-bit bytes outside encoded words are read as UTF-8.
QString decodeEncodedWords(const QByteArray& text);

}  // namespace kestrum
