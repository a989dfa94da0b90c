#include "keyring_password_store.h"

#include "mail/logging.h"
#include "mail/mail_backend.h"

#include <QEventLoop>

#include <qt6keychain/keychain.h>

namespace kestrum {

namespace {

// QtKeychain reports through signals only; the program is single-threaded, so wait here. False
// when the wait was ended from outside before the job finished: a stop of the program ends every
// event loop, this one included.
bool runJob(QKeychain::Job& job) {
    job.setAutoDelete(false);
    bool finished = false;
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    job.start();
    if (!finished) {
        loop.exec();
    }
    return finished;
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
    if (!runJob(job)) {
        throw MailError(QStringLiteral("the password was not read: the program is stopping"));
    }
    m_keyringAnswers = answered(job.error());
    if (job.error() == QKeychain::NoError) {
        return job.textData();
    }
    // A keyring that is there but refuses (the user dismissed its unlock prompt) is no keyring
    // that is missing: an empty password would only fail at the server, for a reason nobody sees.
    if (job.error() == QKeychain::AccessDenied || job.error() == QKeychain::AccessDeniedByUser) {
        throw MailError(QStringLiteral("the keyring refused the password of %1: %2")
                            .arg(user, job.errorString()));
    }
    // A password kept while no keyring answered is still found once one does.
    return m_fallback.read(user);
}

void KeyringPasswordStore::write(const QString& user, const QString& password) {
    QKeychain::WritePasswordJob job(m_service);
    job.setKey(user);
    job.setTextData(password);
    if (!runJob(job)) {
        throw MailError(QStringLiteral("the password was not kept: the program is stopping"));
    }
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
        if (!runJob(probe)) {
            return false;  // asked again at the next call
        }
        m_keyringAnswers = answered(probe.error());
    }
    return !*m_keyringAnswers;
}

}  // namespace kestrum
