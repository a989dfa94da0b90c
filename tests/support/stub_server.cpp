#include "stub_server.h"

#include "support/local_servers.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <deque>
#include <vector>

namespace kestrum::testing {

StubServer::StubServer(QByteArray greeting, int byteIntervalMs, QByteArray answer,
                       int answerDelayMs)
    : m_greeting(std::move(greeting)),
      m_byteIntervalMs(byteIntervalMs),
      m_answer(std::move(answer)),
      m_answerDelayMs(answerDelayMs) {
    m_listener = listeningSocket(m_port);
    m_thread = std::thread([this] { serve(); });
}

StubServer::~StubServer() {
    m_stop = true;
    m_thread.join();
    close(m_listener);
}

void StubServer::serve() {
    using Clock = std::chrono::steady_clock;
    struct Client {
        int socket;
        qsizetype sent;
        std::deque<Clock::time_point> answersDue;
    };
    std::vector<Client> clients;
    auto nextByte = Clock::now();
    while (!m_stop) {
        pollfd listener{m_listener, POLLIN, 0};
        if (poll(&listener, 1, 50) > 0) {
            const int client = accept(m_listener, nullptr, nullptr);
            if (client >= 0) {
                clients.push_back({client, 0, {}});
            }
        }
        const auto now = Clock::now();
        const bool byteDue = now >= nextByte;
        if (byteDue) {
            nextByte = now + std::chrono::milliseconds(m_byteIntervalMs);
        }
        for (Client& client : clients) {
            if (byteDue && client.sent < m_greeting.size()) {
                send(client.socket, m_greeting.constData() + client.sent, 1, MSG_NOSIGNAL);
                ++client.sent;
            }
            if (m_answer.isEmpty()) {
                continue;
            }
            char received[512];
            const ssize_t count = recv(client.socket, received, sizeof received, MSG_DONTWAIT);
            for (ssize_t i = 0; i < count; ++i) {
                if (received[i] == '\n') {
                    client.answersDue.push_back(now + std::chrono::milliseconds(m_answerDelayMs));
                }
            }
            while (!client.answersDue.empty() && client.answersDue.front() <= now) {
                send(client.socket, m_answer.constData(), m_answer.size(), MSG_NOSIGNAL);
                client.answersDue.pop_front();
            }
        }
    }
    for (const Client& client : clients) {
        close(client.socket);
    }
}

}  // namespace kestrum::testing
