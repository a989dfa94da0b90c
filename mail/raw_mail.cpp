#include "raw_mail.h"

#include "mail/mail_address.h"
#include "mail/mime_text.h"
#include "mail/raw_header.h"

#include <vmime/message.hpp>

#include <algorithm>

namespace kestrum {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// At least the multipart nesting depth VMime would reach, counted without parsing: each level
// takes a part header of its own whose Content-Type names multipart, and VMime reads a field
// only from the start of a line. Lines of the body that look the same are counted too.
int multipartLevelBound(const QByteArray& raw) {
    int levels = 0;
    qsizetype pos = 0;
    while (pos < raw.size()) {
        qsizetype end = raw.indexOf('\n', pos);
        if (end < 0) {
            end = raw.size();
        }
        const QByteArrayView line(raw.constData() + pos, end - pos);
        const qsizetype colon = line.indexOf(':');
        QByteArrayView name = line.first(std::max<qsizetype>(colon, 0));
        while (!name.isEmpty() && isBlank(name.back())) {
            name.chop(1);
        }
        if (colon > 0 && !isBlank(line.front()) &&
            name.compare("Content-Type", Qt::CaseInsensitive) == 0) {
            // The value goes on over the folded lines after it.
            while (end + 1 < raw.size() && isBlank(raw[end + 1])) {
                end = raw.indexOf('\n', end + 1);
                if (end < 0) {
                    end = raw.size();
                }
            }
            const QByteArray value = raw.mid(pos + colon, end - pos - colon).toLower();
            if (value.contains("multipart")) {
                ++levels;
            }
        }
        pos = end + 1;
    }
    return levels;
}

}  // namespace

MailContent readMail(const QByteArray& raw) {
    MailContent content;
    const QList<QByteArray> subjects = headerFieldValues(raw, "Subject");
    if (!subjects.isEmpty()) {
        content.subject = decodeEncodedWords(subjects.first());
    }
    // A second From field leaves open whom the mail is from.
    const QList<QByteArray> senders = headerFieldValues(raw, "From");
    if (senders.size() == 1) {
        content.sender = mailboxAddress(senders.first());
    }
    for (const QByteArray& value : headerFieldValues(raw, "Authentication-Results")) {
        content.authenticationResults.append(QString::fromUtf8(value));
    }
    if (raw.size() > kMaxMailSize || multipartLevelBound(raw) > kMaxMultipartLevels) {
        return content;
    }
    try {
        // The parsed message reads its parts from this string, so it outlives the message.
        const std::string bytes = raw.toStdString();
        vmime::message message;
        message.parse(bytes);
        content.text = messageText(message);
        content.readable = true;
    } catch (const std::exception&) {
        // VMime throws standard exceptions of every kind on malformed header fields.
        content.text.clear();
    }
    return content;
}

}  // namespace kestrum
