#pragma once

#include "core/settings_keys.h"
#include "core/settings_store.h"

#include <QHostAddress>
#include <QString>

#include <optional>

namespace kestrum {

// The web panel's settings as stored, with the defaults filled in on reading.
struct WebSettings {
    bool enabled = false;
    QString listen = web::defaultListen;
    QString certificate;  // PEM file paths; both empty: no TLS, or one made for a LAN address
    QString key;
    QString passwordHash;
};

struct ListenAddress {
    QHostAddress host;
    quint16 port = 0;
    bool loopback() const { return host.isLoopback(); }
};

// host:port (an IPv6 host in brackets); nullopt with the reason in *problem.
std::optional<ListenAddress> parseListen(const QString& text, QString* problem);

WebSettings readWebSettings(const SettingsStore& store);
// Enabled, Listen, Certificate and Key; throws StoreError when they could not be kept.
void writeWebSettings(SettingsStore& store, const WebSettings& settings);
// Throws StoreError when the hash could not be kept.
void writePasswordHash(SettingsStore& store, const QString& hash);

}  // namespace kestrum
