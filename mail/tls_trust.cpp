#include "tls_trust.h"

#include "mail/mail_backend.h"

#include <QFile>

#include <vmime/security/cert/X509Certificate.hpp>
#include <vmime/security/cert/defaultCertificateVerifier.hpp>

namespace kestrum {

namespace {

using Certificates = std::vector<std::shared_ptr<vmime::security::cert::X509Certificate>>;

const QString systemBundle = QStringLiteral("/etc/ssl/certs/ca-certificates.crt");

// VMime imports only the first certificate of a PEM file, so the bundle is cut into one
// block per certificate.
Certificates readPem(const QByteArray& pem) {
    static const QByteArray begin = "-----BEGIN CERTIFICATE-----";
    static const QByteArray end = "-----END CERTIFICATE-----";
    Certificates certificates;
    qsizetype from = 0;
    while ((from = pem.indexOf(begin, from)) >= 0) {
        const qsizetype to = pem.indexOf(end, from);
        if (to < 0) {
            break;
        }
        const QByteArray block = pem.mid(from, to + end.size() - from);
        auto certificate = vmime::security::cert::X509Certificate::import(
            reinterpret_cast<const vmime::byte_t*>(block.constData()), block.size());
        if (certificate) {
            certificates.push_back(certificate);
        }
        from = to + end.size();
    }
    return certificates;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

std::shared_ptr<vmime::security::cert::certificateVerifier> makeCertificateVerifier(
    const QString& extraCaFile) {
    Certificates authorities = readPem(readFile(systemBundle));
    if (!extraCaFile.isEmpty()) {
        const Certificates extra = readPem(readFile(extraCaFile));
        if (extra.empty()) {
            throw MailError(
                QStringLiteral("no certificate could be read from %1").arg(extraCaFile));
        }
        authorities.insert(authorities.end(), extra.begin(), extra.end());
    }
    auto verifier = std::make_shared<vmime::security::cert::defaultCertificateVerifier>();
    verifier->setX509RootCAs(authorities);
    return verifier;
}

}  // namespace kestrum
