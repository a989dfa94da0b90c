#include "web_settings.h"

namespace kestrum {

std::optional<ListenAddress> parseListen(const QString& text, QString* problem) {
    const QString trimmed = text.trimmed();
    const qsizetype colon = trimmed.lastIndexOf(QLatin1Char(':'));
    QString host = trimmed.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
        host = host.mid(1, host.size() - 2);
    }
    bool number = false;
    const int port = trimmed.mid(colon + 1).toInt(&number);
    ListenAddress address;
    if (colon < 0 || !number || port < 1 || port > 65535 || !address.host.setAddress(host)) {
        *problem = QStringLiteral(
                       "\"%1\" is no address to listen on: give an IP address and a "
                       "port, such as %2 or 0.0.0.0:8443")
                       .arg(trimmed, web::defaultListen);
        return std::nullopt;
    }
    address.port = static_cast<quint16>(port);
    return address;
}

WebSettings readWebSettings(const SettingsStore& store) {
    WebSettings settings;
    settings.enabled = store.read(web::section, web::enabled).trimmed() == QLatin1String("1");
    settings.listen = store.read(web::section, web::listen, web::defaultListen).trimmed();
    if (settings.listen.isEmpty()) {
        settings.listen = web::defaultListen;
    }
    settings.certificate = store.read(web::section, web::certificate).trimmed();
    settings.key = store.read(web::section, web::key).trimmed();
    settings.passwordHash = store.read(web::section, web::passwordHash).trimmed();
    return settings;
}

void writeWebSettings(SettingsStore& store, const WebSettings& settings) {
    store.write(web::section, web::enabled,
                settings.enabled ? QStringLiteral("1") : QStringLiteral("0"));
    store.write(web::section, web::listen, settings.listen.trimmed());
    store.write(web::section, web::certificate, settings.certificate.trimmed());
    store.write(web::section, web::key, settings.key.trimmed());
    store.sync();
}

void writePasswordHash(SettingsStore& store, const QString& hash) {
    store.write(web::section, web::passwordHash, hash);
    store.sync();
}

}  // namespace kestrum
