#include "password_input.h"

#include "web/password_hash.h"
#include "web/web_settings.h"

#include <QByteArray>

#include <termios.h>
#include <unistd.h>

namespace kestrum {

namespace {

// Echo off while the line is typed, and back on whatever happens.
class HiddenTyping {
public:
    explicit HiddenTyping(int descriptor) : m_descriptor(descriptor) {
        m_hidden = ::isatty(descriptor) && ::tcgetattr(descriptor, &m_before) == 0;
        if (m_hidden) {
            termios quiet = m_before;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            ::tcsetattr(descriptor, TCSAFLUSH, &quiet);
        }
    }
    ~HiddenTyping() {
        if (m_hidden) {
            ::tcsetattr(m_descriptor, TCSAFLUSH, &m_before);
            std::fputs("\n", stderr);
        }
    }
    HiddenTyping(const HiddenTyping&) = delete;
    HiddenTyping& operator=(const HiddenTyping&) = delete;
    bool hidden() const { return m_hidden; }

private:
    int m_descriptor;
    termios m_before{};
    bool m_hidden = false;
};

QByteArray readLine(std::FILE* input) {
    QByteArray line;
    for (int c = std::fgetc(input); c != EOF && c != '\n'; c = std::fgetc(input)) {
        line += static_cast<char>(c);
    }
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    return line;
}

}  // namespace

int setWebPasswordFrom(std::FILE* input, SettingsStore& store) {
    QByteArray line;
    {
        const HiddenTyping typing(::fileno(input));
        if (typing.hidden()) {
            std::fputs("New password for the web panel: ", stderr);
        }
        line = readLine(input);
    }
    const QString password = QString::fromUtf8(line);
    if (password.isEmpty()) {
        std::fputs("kestrum: no password was given; the web panel's password is unchanged\n",
                   stderr);
        return 1;
    }
    const QString hash = hashPassword(password);
    if (hash.isEmpty()) {
        std::fputs("kestrum: the password could not be hashed (out of memory?); it is unchanged\n",
                   stderr);
        return 1;
    }
    try {
        writePasswordHash(store, hash);
    } catch (const StoreError& error) {
        std::fprintf(stderr, "kestrum: the password could not be stored: %s\n", error.what());
        return 1;
    }
    std::fputs("The web panel's password is set; Kestrum takes it at its next start.\n", stderr);
    return 0;
}

}  // namespace kestrum
