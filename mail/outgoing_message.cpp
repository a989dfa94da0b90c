#include "outgoing_message.h"

#include <QList>

#include <vmime/dateTime.hpp>
#include <vmime/mailbox.hpp>
#include <vmime/messageBuilder.hpp>
#include <vmime/messageId.hpp>
#include <vmime/stringContentHandler.hpp>
#include <vmime/utility/outputStreamStringAdapter.hpp>

namespace kestrum {

namespace {

QString withCrLf(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return lines;
}

bool isPrintableAscii(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string encodeSubject(const QString& subject) {
    if (isPrintableAscii(subject) && !subject.contains(QStringLiteral("=?"))) {
        return subject.toStdString();
    }
    // Words of at most 45 bytes keep each encoded word within 75 characters, and whole
    // characters in each word keep every word decodable on its own.
    std::string header;
    QByteArray chunk;
    const auto flush = [&] {
        if (!header.empty()) {
            header += "\r\n ";
        }
        header += "=?utf-8?B?" + chunk.toBase64().toStdString() + "?=";
        chunk.clear();
    };
    for (const uint code : subject.toUcs4()) {
        const char32_t character = code;
        const QByteArray bytes = QString::fromUcs4(&character, 1).toUtf8();
        if (chunk.size() + bytes.size() > 45) {
            flush();
        }
        chunk += bytes;
    }
    flush();
    return header;
}

std::string buildOutgoingMessage(const QString& senderAddress, const OutgoingMail& mail) {
    vmime::messageBuilder builder;
    builder.setExpeditor(vmime::mailbox(senderAddress.toStdString()));
    builder.getRecipients().appendAddress(
        std::make_shared<vmime::mailbox>(mail.recipient.toStdString()));
    builder.getTextPart()->setCharset(vmime::charsets::UTF_8);
    builder.getTextPart()->setText(
        std::make_shared<vmime::stringContentHandler>(withCrLf(mail.body).toStdString()));

    std::shared_ptr<vmime::message> message = builder.construct();
    const auto header = message->getHeader();
    header->Date()->setValue(vmime::datetime::now());
    header->MessageId()->setValue(vmime::messageId::generateId());
    // VMime writes a non-ASCII subject as raw 8-bit bytes and drops spaces from it, so the
    // subject line is ours.
    if (header->hasField(vmime::fields::SUBJECT)) {
        header->removeField(header->findField(vmime::fields::SUBJECT));
    }

    std::string wire = "Subject: " + encodeSubject(mail.subject) + "\r\n";
    vmime::utility::outputStreamStringAdapter out(wire);
    message->generate(out);
    if (wire.size() >= 2 && wire.compare(wire.size() - 2, 2, "\r\n") == 0) {
        wire.resize(wire.size() - 2);
    }
    return wire;
}

}  // namespace kestrum
