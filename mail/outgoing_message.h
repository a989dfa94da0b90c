#pragma once

#include "mail/mail_backend.h"

#include <vmime/message.hpp>

#include <memory>

namespace kestrum {

// The mail as it goes on the wire: From the sender, To the recipient, the subject encoded when
// it is not ASCII, a UTF-8 text/plain body with CR LF line ends, Date and Message-ID.
std::shared_ptr<vmime::message> buildOutgoingMessage(const QString& senderAddress,
                                                     const OutgoingMail& mail);

}  // namespace kestrum
