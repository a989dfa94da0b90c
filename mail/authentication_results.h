#pragma once

#include <QString>
#include <QStringList>

namespace kestrum {

// Whether the mail server named authServId verified the sender address `from`: in the topmost
// Authentication-Results header that server added (headers topmost first, values unfolded), a
// dmarc=pass, or a dkim=pass whose signing domain (header.d) is the domain of `from`. A header
// of another server, or none, verifies nothing: anyone can write such a header into a mail, but
// a server that adds its own removes forged ones carrying its name.
bool senderVerified(const QStringList& authenticationResults, const QString& authServId,
                    const QString& from);

}  // namespace kestrum
