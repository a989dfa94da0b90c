#include "signal_exit.h"

#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace kestrum {

namespace {

// A hang-up (the terminal or the session that started the program went away) is a stop too: by
// default it would end the program at once, without its stop entry and write-back.
constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};
int g_signalSockets[2] = {-1, -1};
volatile std::sig_atomic_t g_signalsSeen = 0;

// Only async-signal-safe work here: one byte to wake the event loop. A second stop means the
// first could not be served (the loop is held, or the shut-down hangs): end at once.
void onSignal(int signal) {
    g_signalsSeen = g_signalsSeen + 1;
    if (g_signalsSeen > 1) {
        ::_exit(128 + signal);
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalSockets[0], &byte, 1);
}

}  // namespace

SignalExit::SignalExit(std::function<void()> onSignalCall) : m_onSignal(std::move(onSignalCall)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSockets) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(g_signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(g_signalSockets[1], &byte, 1);
        m_onSignal();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kStopSignals) {
        sigaction(signal, &action, nullptr);
    }
}

SignalExit::~SignalExit() {
    for (const int signal : kStopSignals) {
        std::signal(signal, SIG_DFL);
    }
    delete m_notifier;
    m_notifier = nullptr;
    for (int& socket : g_signalSockets) {
        if (socket >= 0) {
            ::close(socket);
            socket = -1;
        }
    }
}

}  // namespace kestrum
