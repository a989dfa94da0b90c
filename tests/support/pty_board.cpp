#include "pty_board.h"

#include <QFile>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

namespace kestrum::testing {

PtyBoard::PtyBoard() {
    plugIn();
}

PtyBoard::~PtyBoard() {
    unplug();
}

bool PtyBoard::shimLoaded() {
    return dlsym(RTLD_DEFAULT, "kestrum_modem_lines_shim") != nullptr;
}

QString PtyBoard::filePath(const char* name) const {
    return m_folder.filePath(QString::fromLatin1(name));
}

QString PtyBoard::deviceName() const {
    return filePath("port");
}

QProcessEnvironment PtyBoard::environment() const {
    QProcessEnvironment variables;
    variables.insert(QStringLiteral("KESTRUM_SHIM_PTY"), deviceName());
    variables.insert(QStringLiteral("KESTRUM_SHIM_LOG"), filePath("lines.log"));
    variables.insert(QStringLiteral("KESTRUM_SHIM_READ_REGISTER"), filePath("read-register"));
    return variables;
}

void PtyBoard::exportToThisProcess() const {
    const QProcessEnvironment variables = environment();
    for (const QString& name : variables.keys()) {
        qputenv(name.toLatin1().constData(), variables.value(name).toLocal8Bit());
    }
}

void PtyBoard::plugIn() {
    unplug();
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(m_master, 0) << "no pseudo-terminal";
    std::array<char, 64> slave{};
    ASSERT_EQ(grantpt(m_master), 0);
    ASSERT_EQ(unlockpt(m_master), 0);
    ASSERT_EQ(ptsname_r(m_master, slave.data(), slave.size()), 0);
    ASSERT_EQ(fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK), 0);
    ASSERT_TRUE(QFile::link(QString::fromLocal8Bit(slave.data()), deviceName()));
}

void PtyBoard::unplug() {
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
    // The name goes too: pty numbers are reused, and a dangling link could find another
    // process's new pty under the old number.
    QFile::remove(deviceName());
}

QByteArray PtyBoard::takeSent() {
    QByteArray sent;
    std::array<char, 256> buffer{};
    ssize_t length = 0;
    while ((length = ::read(m_master, buffer.data(), buffer.size())) > 0) {
        sent.append(buffer.data(), length);
    }
    return sent;
}

void PtyBoard::setReadRegister(const std::vector<bool>& levels) {
    QByteArray text;
    for (const bool level : levels) {
        text.append(level ? '1' : '0');
    }
    QFile file(filePath("read-register"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(text), text.size());
}

std::vector<PtyBoard::LineRecord> PtyBoard::records() const {
    QFile file(filePath("lines.log"));
    std::vector<LineRecord> all;
    if (!file.open(QIODevice::ReadOnly)) {
        return all;
    }
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().trimmed().split(' ');
        if (fields.size() == 4) {
            all.push_back({QString::fromLatin1(fields[1]), fields[2] == "1", fields[3] == "1"});
        }
    }
    return all;
}

void PtyBoard::clearRecords() {
    QFile::remove(filePath("lines.log"));
}

void PrintTo(const PtyBoard::LineRecord& record, std::ostream* out) {
    *out << record.event.toStdString() << " DTR " << record.dtr << " RTS " << record.rts;
}

}  // namespace kestrum::testing
