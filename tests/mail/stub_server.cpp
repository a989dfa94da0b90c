#include "stub_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <vector>

namespace kestrum::testing {

StubServer::StubServer(QByteArray greeting, int byteIntervalMs)
    : m_greeting(std::move(greeting)), m_byteIntervalMs(byteIntervalMs) {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(m_listener, 8) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("the stub server cannot listen");
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

StubServer::~StubServer() {
    m_stop = true;
    m_thread.join();
    close(m_listener);
}

void StubServer::serve() {
    struct Client {
        int socket;
        qsizetype sent;
    };
    std::vector<Client> clients;
    auto nextByte = std::chrono::steady_clock::now();
    while (!m_stop) {
        pollfd listener{m_listener, POLLIN, 0};
        if (poll(&listener, 1, 50) > 0) {
            const int client = accept(m_listener, nullptr, nullptr);
            if (client >= 0) {
                clients.push_back({client, 0});
            }
        }
        const auto now = std::chrono::steady_clock::now();
        if (m_greeting.isEmpty() || now < nextByte) {
            continue;
        }
        nextByte = now + std::chrono::milliseconds(m_byteIntervalMs);
        for (Client& client : clients) {
            if (client.sent < m_greeting.size()) {
                send(client.socket, m_greeting.constData() + client.sent, 1, MSG_NOSIGNAL);
                ++client.sent;
            }
        }
    }
    for (const Client& client : clients) {
        close(client.socket);
    }
}

}  // namespace kestrum::testing
