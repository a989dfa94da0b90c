#include "processed_mails_file.h"

#include "mail/logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kestrum {

ProcessedMailsFile::ProcessedMailsFile(QString path) : m_path(std::move(path)) {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty()) {
            m_ids.insert(QString::fromUtf8(line));
        }
    }
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
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() ||
        !file.commit()) {
        // Commands of a mail the server still holds may then run again after a restart.
        qCWarning(lcMail).noquote()
            << "The list of processed mails" << m_path << "was not saved:" << file.errorString();
    }
}

}  // namespace kestrum
