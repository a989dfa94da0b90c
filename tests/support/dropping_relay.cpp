#include "dropping_relay.h"

#include "support/local_servers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <vector>

namespace kestrum::testing {

namespace {

sockaddr_in loopback(int port, uint32_t host = INADDR_LOOPBACK) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(host);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

// From 127.0.0.2, which the test servers leave unencrypted, so that the commands can be seen.
int connectTo(int port) {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in source = loopback(0, INADDR_LOOPBACK + 1);
    sockaddr_in address = loopback(port);
    if (socket >= 0 && ::bind(socket, reinterpret_cast<sockaddr*>(&source), sizeof source) == 0 &&
        ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        return socket;
    }
    if (socket >= 0) {
        ::close(socket);
    }
    return -1;
}

bool sendAll(int socket, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t sent = ::send(socket, data, static_cast<size_t>(size), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        data += sent;
        size -= sent;
    }
    return true;
}

struct Link {
    int client;
    int server;
    QByteArray pending;  // what the client sent since its last line end
    bool clientDone = false;
    bool serverDone = false;
};

}  // namespace

DroppingRelay::DroppingRelay(int serverPort, QByteArray command)
    : m_serverPort(serverPort), m_command(std::move(command)) {
    m_listener = listeningSocket(m_port);
    m_thread = std::thread([this] { serve(); });
}

DroppingRelay::~DroppingRelay() {
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
}

bool DroppingRelay::dropped() const {
    for (int wait = 0; !m_dropped && wait < 200; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return m_dropped;
}

QByteArrayList DroppingRelay::lines() const {
    const std::lock_guard lock(m_linesLock);
    return m_lines;
}

bool DroppingRelay::isCommand(const QByteArray& line) const {
    const auto startsCommand = [this](const QByteArray& text) {
        const QByteArray upper = text.toUpper();
        return upper == m_command || upper.startsWith(m_command + ' ') ||
               upper.startsWith(m_command + ':');
    };
    const qsizetype blank = line.indexOf(' ');
    return startsCommand(line) || (blank > 0 && startsCommand(line.mid(blank + 1)));
}

void DroppingRelay::serve() {
    std::vector<Link> links;
    const auto closeLink = [&](std::size_t i) {
        ::close(links[i].client);
        ::close(links[i].server);
        links.erase(links.begin() + static_cast<std::ptrdiff_t>(i));
    };
    while (!m_stop) {
        std::vector<pollfd> watched{{m_listener, POLLIN, 0}};
        for (const Link& link : links) {
            // A side that has ended is left out: it would be readable for ever.
            watched.push_back({link.clientDone ? -1 : link.client, POLLIN, 0});
            watched.push_back({link.serverDone ? -1 : link.server, POLLIN, 0});
        }
        if (::poll(watched.data(), watched.size(), 50) <= 0) {
            continue;
        }
        if (watched[0].revents & POLLIN) {
            const int client = ::accept(m_listener, nullptr, nullptr);
            const int server = client >= 0 ? connectTo(m_serverPort) : -1;
            if (server >= 0) {
                links.push_back({client, server, {}});
            } else if (client >= 0) {
                ::close(client);
            }
        }
        // Backwards, so that closing a link leaves the indexes still to visit as they were.
        for (std::size_t i = watched.size() / 2; i-- > 0;) {
            Link& link = links[i];
            const bool serverSent = watched[2 + 2 * i].revents != 0;
            const bool clientSent = watched[1 + 2 * i].revents != 0;
            bool broken = false;
            char buffer[16384];
            // An end on one side is passed on as an end of writing, as TCP would: the other
            // side may still answer (a server may act on QUIT only after it has read it).
            if (serverSent && !link.serverDone) {
                const ssize_t got = ::recv(link.server, buffer, sizeof buffer, 0);
                if (got > 0) {
                    broken = !sendAll(link.client, buffer, got);
                } else {
                    link.serverDone = true;
                    ::shutdown(link.client, SHUT_WR);
                }
            }
            if (!broken && clientSent && !link.clientDone) {
                const ssize_t got = ::recv(link.client, buffer, sizeof buffer, 0);
                link.pending.append(buffer, got > 0 ? got : 0);
                // Only whole lines are passed on, so that the command's line never reaches the
                // server.
                qsizetype end = 0;
                while (!broken && (end = link.pending.indexOf('\n')) >= 0) {
                    const QByteArray line = link.pending.left(end + 1);
                    link.pending.remove(0, end + 1);
                    const QByteArray text = line.trimmed();
                    {
                        const std::lock_guard lock(m_linesLock);
                        m_lines.append(text);
                    }
                    if (!m_dropped && !m_command.isEmpty() && isCommand(text)) {
                        m_dropped = true;
                        broken = true;
                    } else {
                        broken = !sendAll(link.server, line.constData(), line.size());
                    }
                }
                if (got <= 0) {
                    link.clientDone = true;
                    ::shutdown(link.server, SHUT_WR);
                }
            }
            if (broken || (link.clientDone && link.serverDone)) {
                closeLink(i);
            }
        }
    }
    for (std::size_t i = links.size(); i-- > 0;) {
        closeLink(i);
    }
}

}  // namespace kestrum::testing
