#include "self_signed_certificate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <fcntl.h>
#include <unistd.h>
#include <memory>

namespace kestrum {

namespace {

template <auto Free>
struct Freer {
    template <class T>
    void operator()(T* pointer) const {
        Free(pointer);
    }
};
using Key = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY_free>>;
using Certificate = std::unique_ptr<X509, Freer<X509_free>>;
using Extension = std::unique_ptr<X509_EXTENSION, Freer<X509_EXTENSION_free>>;
using Memory = std::unique_ptr<BIO, Freer<BIO_free>>;

constexpr long kValidSeconds = 10L * 365 * 24 * 60 * 60;

bool addName(X509* certificate, const QHostAddress& address) {
    X509_NAME* name = X509_get_subject_name(certificate);
    const auto common = reinterpret_cast<const unsigned char*>("Kestrum");
    if (X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, common, -1, -1, 0) != 1 ||
        X509_set_issuer_name(certificate, name) != 1) {
        return false;
    }
    // Browsers match the address against the alternative names only.
    const QByteArray alternative = "IP:" + address.toString().toLatin1();
    const Extension extension(
        X509V3_EXT_conf_nid(nullptr, nullptr, NID_subject_alt_name, alternative.constData()));
    return extension && X509_add_ext(certificate, extension.get(), -1) == 1;
}

QByteArray pem(const std::function<int(BIO*)>& write) {
    const Memory memory(BIO_new(BIO_s_mem()));
    if (!memory || write(memory.get()) != 1) {
        return {};
    }
    char* data = nullptr;
    const long size = BIO_get_mem_data(memory.get(), &data);
    return QByteArray(data, static_cast<qsizetype>(size));
}

// Created owner-only from the start: the key is never readable by others, not even briefly.
bool writeOwnerOnly(const QString& path, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(path);
    ::unlink(name.constData());
    const int descriptor = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        return false;
    }
    const bool written =
        ::write(descriptor, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
    return ::close(descriptor) == 0 && written;
}

}  // namespace

bool makeSelfSignedCertificate(const QString& certificatePath, const QString& keyPath,
                               const QHostAddress& address, QString* problem) {
    const Key key(EVP_EC_gen("P-256"));
    const Certificate certificate(X509_new());
    QByteArray serial(16, Qt::Uninitialized);
    const bool made =
        key && certificate && X509_set_version(certificate.get(), 2) == 1 &&
        ASN1_INTEGER_set_int64(X509_get_serialNumber(certificate.get()),
                               static_cast<int64_t>(QDateTime::currentSecsSinceEpoch())) == 1 &&
        X509_gmtime_adj(X509_getm_notBefore(certificate.get()), 0) &&
        X509_gmtime_adj(X509_getm_notAfter(certificate.get()), kValidSeconds) &&
        X509_set_pubkey(certificate.get(), key.get()) == 1 && addName(certificate.get(), address) &&
        X509_sign(certificate.get(), key.get(), EVP_sha256()) > 0;
    const QByteArray certificatePem =
        made ? pem([&](BIO* out) { return PEM_write_bio_X509(out, certificate.get()); })
             : QByteArray();
    const QByteArray keyPem = made ? pem([&](BIO* out) {
        return PEM_write_bio_PrivateKey(out, key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    })
                                   : QByteArray();
    if (certificatePem.isEmpty() || keyPem.isEmpty()) {
        *problem = QStringLiteral("OpenSSL could not make a certificate");
        return false;
    }
    QDir().mkpath(QFileInfo(certificatePath).absolutePath());
    if (!writeOwnerOnly(keyPath, keyPem) || !writeOwnerOnly(certificatePath, certificatePem)) {
        *problem = QStringLiteral("the certificate made for it cannot be written to %1: %2")
                       .arg(QFileInfo(certificatePath).absolutePath(),
                            QString::fromLocal8Bit(strerror(errno)));
        QFile::remove(keyPath);
        QFile::remove(certificatePath);
        return false;
    }
    return true;
}

}  // namespace kestrum
