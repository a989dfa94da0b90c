#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QMap>
#include <QNetworkAccessManager>
#include <QSslCertificate>
#include <QString>

namespace kestrum::testing {

struct WebReply {
    int status = 0;  // 0: no answer
    QByteArray body;
    QMap<QByteArray, QByteArray> headers;  // names in lower case
    qint64 elapsedMs = 0;
    QString error;
};

// A browser's side of the web panel over QNetworkAccessManager: keeps the session cookie,
// sends the CSRF token it was given, follows no redirects, and waits for each answer.
class WebClient {
public:
    explicit WebClient(QString base, QList<QSslCertificate> trusted = {});

    WebReply request(const QByteArray& method, const QString& path, const QByteArray& body = {},
                     const QMap<QByteArray, QByteArray>& headers = {});
    // A POST, PUT or DELETE with the X-CSRF-Token the session gave.
    WebReply command(const QByteArray& method, const QString& path, const QByteArray& body = {});
    // Signs in and fetches the CSRF token; the sign-in's answer.
    WebReply signIn(const QString& password);
    // The Cookie header the browser would send, for the events WebSocket.
    QByteArray cookieHeader() const;

    QString base;
    QByteArray csrf;

private:
    QNetworkAccessManager m_manager;
    QList<QSslCertificate> m_trusted;
};

}  // namespace kestrum::testing
