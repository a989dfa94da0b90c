#include "processed_mails_file.h"

#include "core/private_file.h"
#include "mail/logging.h"

#include <QFile>

#include <algorithm>

namespace kestrum {

namespace {

// An IMAP id is two numbers, a POP3 UIDL at most 70 printable characters (RFC 1939).
bool isId(const QByteArray& line) {
    return line.size() <= 100 &&
           std::all_of(line.cbegin(), line.cend(), [](char c) { return c > ' ' && c < 0x7f; });
}

}  // namespace

// A file of this program's making stays far below the limit; a larger one, or one with a line
// no server would give as an id, is none of its making, and reading it could cost any amount of
// memory. Its mails then count as never run, which is what losing the file would mean.
ProcessedMailsFile::ProcessedMailsFile(QString path) : m_path(std::move(path)) {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray content = file.read(kMostBytes + 1);
    const QByteArrayList lines = content.split('\n');
    if (content.size() > kMostBytes ||
        !std::all_of(lines.cbegin(), lines.cend(),
                     [](const QByteArray& line) { return line.isEmpty() || isId(line); })) {
        qCWarning(lcMail).noquote()
            << "The list of processed mails" << m_path
            << "is too big or garbled and was ignored: the commands of mails still on the "
               "server may run again";
        return;
    }
    QSet<QString> ids;
    for (const QByteArray& line : lines) {
        if (!line.isEmpty()) {
            ids.insert(QString::fromLatin1(line));
        }
    }
    m_ids = ids;
}

void ProcessedMailsFile::add(const QString& id) {
    if (!m_ids.contains(id)) {
        m_ids.insert(id);
        save();
    }
}

void ProcessedMailsFile::keepOnly(const QSet<QString>& listed) {
    const qsizetype before = m_ids.size();
    m_ids.intersect(listed);
    if (m_ids.size() != before) {
        save();
    }
}

void ProcessedMailsFile::save() {
    QByteArray content;
    for (const QString& id : m_ids) {
        content += id.toUtf8() + '\n';
    }
    QString error;
    if (!writePrivateFile(m_path, content, error)) {
        // Commands of a mail the server still holds may then run again after a restart.
        qCWarning(lcMail).noquote()
            << "The list of processed mails" << m_path << "was not saved:" << error;
    }
}

}  // namespace kestrum
