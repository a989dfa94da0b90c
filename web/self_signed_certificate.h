#pragma once

#include <QHostAddress>
#include <QString>

namespace kestrum {

// Writes a new self-signed certificate for the address (valid ten years) and its private key
// as PEM files readable by the owner only. False, with the reason in *problem, when either
// could not be made or written; nothing half-written is left behind.
bool makeSelfSignedCertificate(const QString& certificatePath, const QString& keyPath,
                               const QHostAddress& address, QString* problem);

}  // namespace kestrum
