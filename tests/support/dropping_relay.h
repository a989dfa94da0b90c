#pragma once

#include <QByteArray>
#include <QByteArrayList>

#include <atomic>
#include <mutex>
#include <thread>

namespace kestrum::testing {

// A TCP relay on a free 127.0.0.1 port in front of a real server on 127.0.0.1, which it reaches
// from 127.0.0.2 (the mail test servers do not secure that address), run on a thread of its own
// because the client under test blocks the main thread. It passes bytes both ways unchanged
// until the client sends the line of the chosen command, then closes both sides of that
// connection without passing the line on: the link broke just as the command went out. It
// breaks one link only; later connections are relayed whole.
//
// A line is the command when it is the command word(s) alone or followed by a blank or a colon,
// either at the start of the line (POP3, SMTP) or after the tag (IMAP): "UID FETCH" matches
// "a7 UID FETCH 3 (BODY.PEEK[])" but not "a6 FETCH 1:3 (FLAGS)"; "." is the end of DATA. An
// empty command is never seen: the relay then only records.
class DroppingRelay {
public:
    DroppingRelay(int serverPort, QByteArray command);
    ~DroppingRelay();

    int port() const { return m_port; }
    // True once the link has been broken at the command. A client that sends its last command
    // and leaves without waiting for the answer may be gone before the relay has read it: that
    // is waited for up to two seconds.
    bool dropped() const;
    // Every line the clients sent, as sent; for messages of a test that fails.
    QByteArrayList lines() const;

private:
    void serve();
    bool isCommand(const QByteArray& line) const;

    int m_serverPort;
    QByteArray m_command;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_dropped{false};
    mutable std::mutex m_linesLock;
    QByteArrayList m_lines;
    std::thread m_thread;
};

}  // namespace kestrum::testing
