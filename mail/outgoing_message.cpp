#include "outgoing_message.h"

#include <vmime/dateTime.hpp>
#include <vmime/mailbox.hpp>
#include <vmime/messageBuilder.hpp>
#include <vmime/messageId.hpp>
#include <vmime/stringContentHandler.hpp>

namespace kestrum {

namespace {

QString withCrLf(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return lines;
}

}  // namespace

std::shared_ptr<vmime::message> buildOutgoingMessage(const QString& senderAddress,
                                                     const OutgoingMail& mail) {
    vmime::messageBuilder builder;
    builder.setExpeditor(vmime::mailbox(senderAddress.toStdString()));
    builder.getRecipients().appendAddress(
        std::make_shared<vmime::mailbox>(mail.recipient.toStdString()));
    builder.setSubject(vmime::text(mail.subject.toStdString(), vmime::charsets::UTF_8));
    builder.getTextPart()->setCharset(vmime::charsets::UTF_8);
    builder.getTextPart()->setText(
        std::make_shared<vmime::stringContentHandler>(withCrLf(mail.body).toStdString()));

    std::shared_ptr<vmime::message> message = builder.construct();
    message->getHeader()->Date()->setValue(vmime::datetime::now());
    message->getHeader()->MessageId()->setValue(vmime::messageId::generateId());
    return message;
}

}  // namespace kestrum
