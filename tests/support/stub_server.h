#pragma once

#include <QByteArray>

#include <atomic>
#include <thread>

namespace kestrum::testing {

// A misbehaving server on a free 127.0.0.1 port, run on a thread of its own because the
// client under test blocks the main thread. It accepts connections and then sends `greeting`
// one byte per `byteIntervalMs`; an empty greeting means it never says anything. Given an
// `answer`, it answers each line a client sends with it, `answerDelayMs` late.
class StubServer {
public:
    StubServer(QByteArray greeting, int byteIntervalMs, QByteArray answer = {},
               int answerDelayMs = 0);
    ~StubServer();

    int port() const { return m_port; }

private:
    void serve();

    QByteArray m_greeting;
    int m_byteIntervalMs;
    QByteArray m_answer;
    int m_answerDelayMs;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace kestrum::testing
