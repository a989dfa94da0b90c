#include "web_client.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrlQuery>

namespace kestrum::testing {

WebClient::WebClient(QString base_, QList<QSslCertificate> trusted)
    : base(std::move(base_)), m_trusted(std::move(trusted)) {
    m_manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

WebReply WebClient::request(const QByteArray& method, const QString& path, const QByteArray& body,
                            const QMap<QByteArray, QByteArray>& headers) {
    QNetworkRequest request(QUrl(base + path));
    for (auto header = headers.begin(); header != headers.end(); ++header) {
        request.setRawHeader(header.key(), header.value());
    }
    if (!m_trusted.isEmpty()) {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.setCaCertificates(m_trusted);
        request.setSslConfiguration(ssl);
    }
    QElapsedTimer clock;
    clock.start();
    QNetworkReply* reply = m_manager.sendCustomRequest(request, method, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    WebReply answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                    reply->readAll(),
                    {},
                    clock.elapsed(),
                    reply->errorString()};
    for (const auto& [name, value] : reply->rawHeaderPairs()) {
        answer.headers[name.toLower()] = value;
    }
    reply->abort();
    reply->deleteLater();
    return answer;
}

WebReply WebClient::command(const QByteArray& method, const QString& path, const QByteArray& body) {
    return request(method, path, body, {{"X-CSRF-Token", csrf}});
}

WebReply WebClient::signIn(const QString& password) {
    QUrlQuery form;
    form.addQueryItem(QStringLiteral("password"), password);
    const WebReply answer =
        request("POST", QStringLiteral("/login"), form.toString(QUrl::FullyEncoded).toUtf8(),
                {{"Content-Type", "application/x-www-form-urlencoded"}});
    const QByteArray session = request("GET", QStringLiteral("/api/session")).body;
    csrf = QJsonDocument::fromJson(session)[QStringLiteral("csrf")].toString().toLatin1();
    return answer;
}

QByteArray WebClient::cookieHeader() const {
    QByteArray header;
    for (const QNetworkCookie& cookie : m_manager.cookieJar()->cookiesForUrl(QUrl(base))) {
        header += cookie.name() + '=' + cookie.value() + "; ";
    }
    return header;
}

}  // namespace kestrum::testing
