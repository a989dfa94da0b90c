#pragma once

#include <QString>

#include <vmime/security/cert/certificateVerifier.hpp>

#include <memory>

namespace kestrum {

// The certificate authorities a mail server's certificate must chain to: the system bundle,
// plus the PEM file extraCaFile when it is not empty. The server's host name is checked too.
// Throws MailError when extraCaFile cannot be read or holds no certificate.
std::shared_ptr<vmime::security::cert::certificateVerifier> makeCertificateVerifier(
    const QString& extraCaFile);

}  // namespace kestrum
