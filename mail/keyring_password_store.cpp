#include "keyring_password_store.h"

#include "mail/logging.h"

#include <QEventLoop>

#include <qt6keychain/keychain.h>

namespace kestrum {

namespace {

// QtKeychain reports through signals only; the program is single-threaded, so wait here.
void runJob(QKeychain::Job& job) {
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
}

bool answered(QKeychain::Error error) {
    return error == QKeychain::NoError || error == QKeychain::EntryNotFound;
}

}  // namespace

KeyringPasswordStore::KeyringPasswordStore(PasswordStore& fallback, QString service)
    : m_fallback(fallback), m_service(std::move(service)) {}

QString KeyringPasswordStore::read(const QString& user) {
    QKeychain::ReadPasswordJob job(m_service);
    job.setKey(user);
    runJob(job);
    m_keyringAnswers = answered(job.error());
    if (job.error() == QKeychain::NoError) {
        return job.textData();
    }
    // A password kept while no keyring answered is still found once one does.
    return m_fallback.read(user);
}

void KeyringPasswordStore::write(const QString& user, const QString& password) {
    QKeychain::WritePasswordJob job(m_service);
    job.setKey(user);
    job.setTextData(password);
    runJob(job);
    m_keyringAnswers = job.error() == QKeychain::NoError;
    if (!*m_keyringAnswers) {
        qCInfo(lcMail).noquote() << "The keyring did not keep the password:" << job.errorString()
                                 << "- it goes to the settings file instead";
        m_fallback.write(user, password);
    } else if (!m_fallback.read(user).isEmpty()) {
        // The keyring holds it now; a copy left in the settings file would only leak.
        m_fallback.write(user, QString());
    }
}

bool KeyringPasswordStore::keepsInSettingsFile() {
    if (!m_keyringAnswers) {
        QKeychain::ReadPasswordJob probe(m_service);
        probe.setKey(QStringLiteral("kestrum-probe"));
        runJob(probe);
        m_keyringAnswers = answered(probe.error());
    }
    return !*m_keyringAnswers;
}

}  // namespace kestrum
