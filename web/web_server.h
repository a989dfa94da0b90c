#pragma once

#include "core/panel.h"
#include "web/web_api.h"
#include "web/web_settings.h"

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QTimer>
#include <QWebSocket>

#include <memory>
#include <vector>

namespace kestrum {

// The web panel on the program's event loop: HTTP, HTTPS when a certificate is set (or made
// for a LAN address), and the events WebSocket that sends the state whole whenever the panel
// changes, at most kEventsPerSecond times a second.
class WebServer : public QAbstractHttpServer {
    Q_OBJECT

public:
    struct Services {
        WebApi::Services api;
        QString dataFolder;  // where a certificate made for a LAN address is kept
    };

    WebServer(State& state, Panel& panel, Services services);
    ~WebServer() override;

    // Takes the settings as they are stored now, after closing what listened before. When the
    // panel is on but cannot listen, the reason is logged and kept in problem().
    void restart();
    void stop();

    // The port listened on; 0 while not listening.
    quint16 port() const;
    bool tls() const { return m_tls; }
    QString problem() const { return m_problem; }
    // The SHA-256 fingerprint of the certificate served, in hex pairs; empty without TLS.
    QString fingerprint() const { return m_fingerprint; }

    static constexpr int kEventsPerSecond = 10;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    bool listenOn(const WebSettings& settings);
    void refuse(const QString& problem);
    void write(QTcpSocket* socket, const WebResponse& response, bool api);
    void eventsConnected();
    void panelChanged();
    void sendState();

    Panel& m_panel;
    SettingsStore& m_store;
    QString m_dataFolder;
    WebApi m_api;
    int m_subscription;
    bool m_tls = false;
    QString m_problem;
    QString m_fingerprint;
    std::vector<std::unique_ptr<QWebSocket>> m_events;
    QTimer m_eventDelay;
    QElapsedTimer m_sinceLastEvent;
    QByteArray m_lastEvent;
};

}  // namespace kestrum
