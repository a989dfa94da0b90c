#pragma once

#include "control/output_control.h"
#include "control/remote_switching.h"
#include "core/panel.h"
#include "core/settings_store.h"
#include "core/state.h"
#include "core/timers.h"
#include "dialogs/output_settings.h"
#include "log/event_log.h"
#include "log/log_viewer.h"
#include "web/confirmed_ui.h"
#include "web/sessions.h"
#include "web/times_document.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QUrlQuery>

#include <functional>

namespace kestrum {

struct WebRequest {
    QByteArray method;
    QString path;
    QUrlQuery query;
    QByteArray body;
    QByteArray sessionCookie;  // the kestrum_session cookie's value
    QByteArray csrfHeader;     // X-CSRF-Token
    QHostAddress peer;
};

struct WebResponse {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    int delayMs = 0;  // how long to hold the answer back
};

inline constexpr qsizetype kMaxBodyBytes = 64 * 1024;

// The panel's pages and its JSON interface: sign-in and sessions, the state, the commands with
// the effects and log entries of the same commands by mail, the time tables and the log.
class WebApi {
public:
    // What the web panel uses of the program besides its state and panel.
    struct Services {
        SettingsStore& store;
        OutputControl& outputs;
        Timers& timers;
        EventLog& log;
        const Clock& clock;
        QString logFilePath;
        // False once the program is shutting down: commands are then refused.
        std::function<bool()> running;
    };

    WebApi(State& state, Panel& panel, Services services);

    // The password the sign-in takes, as its stored hash; a change ends every session.
    void setPasswordHash(const QString& hash);
    // tls: the connection is encrypted, so the cookie may say Secure.
    WebResponse answer(const WebRequest& request, bool tls);
    // True when the request comes from a signed-in browser (the events socket's check).
    bool signedIn(const WebRequest& request) {
        return !m_sessions.use(request.sessionCookie).isEmpty();
    }
    QJsonObject state() const;

    static constexpr int kWrongPasswordDelayMs = 1000;

private:
    WebResponse signIn(const WebRequest& request, bool tls);
    WebResponse api(const WebRequest& request);
    WebResponse output(const WebRequest& request, int n, const QString& what);
    WebResponse pulse(int n, const QByteArray& body);
    WebResponse answer(RemoteSwitching::Result result, int n);
    WebResponse logTail(const WebRequest& request);

    State& m_state;
    Services m_services;
    RemoteSwitching m_switching;
    ConfirmedUi m_ui;
    OutputSettings m_outputSettings;
    TimesDocument m_times;
    LogViewer m_logViewer;
    Sessions m_sessions;
    SignInLimit m_signInLimit;
    QString m_passwordHash;
};

}  // namespace kestrum
