#pragma once

#include "mail/mail_backend.h"

#include <string>

namespace kestrum {

// The mail as it goes on the wire: From the sender, To the recipient, the subject encoded when
// it is not ASCII, a UTF-8 text/plain body with CR LF line ends, Date and Message-ID. It ends
// without the last line end, which the SMTP end-of-data sequence supplies.
std::string buildOutgoingMessage(const QString& senderAddress, const OutgoingMail& mail);

// The subject as a header value: as it is when printable ASCII, else RFC 2047 encoded words.
std::string encodeSubject(const QString& subject);

}  // namespace kestrum
