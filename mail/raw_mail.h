#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kestrum {

// A command mail is a few kilobytes of text. VMime's parser needs seconds of CPU for some
// bodies of this size (a boundary that recurs at every byte), so larger mails are not read.
inline constexpr qsizetype kMaxMailSize = 256 * 1024;
// VMime parses one nesting level of multipart per call level, without a bound of its own: a few
// thousand levels overflow the stack. No mail program nests a dozen.
inline constexpr int kMaxMultipartLevels = 16;

// What the program reads from one mail.
struct MailContent {
    // False when the mail is too big, may nest too deep or does not parse; then text is empty.
    bool readable = false;
    QString subject;
    QString sender;
    QStringList authenticationResults;
    QString text;
};

// Reads a whole mail as received. Never throws: a mail VMime cannot take is unreadable, and the
// header fields, which are read without VMime, are still given as far as they can be read.
MailContent readMail(const QByteArray& raw);

}  // namespace kestrum
