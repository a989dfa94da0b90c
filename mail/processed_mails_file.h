#pragma once

#include "mail/processed_mails.h"

namespace kestrum {

// The processed mails as a text file of one id a line, replaced whole on each change so that
// a crash or a full disk leaves the previous list rather than half of one.
class ProcessedMailsFile : public ProcessedMails {
public:
    // Reads the ids kept in the file; a file that is missing, cannot be read, is over
    // kMostBytes or holds a line that is no id holds none, the last two with a warning.
    explicit ProcessedMailsFile(QString path);

    // About 20,000 ids: far more than a mailbox left by failed sessions holds.
    static constexpr qint64 kMostBytes = 1024 * 1024;

    bool contains(const QString& id) const override { return m_ids.contains(id); }
    void add(const QString& id) override;
    void keepOnly(const QSet<QString>& listed) override;

private:
    void save();

    QString m_path;
    QSet<QString> m_ids;
};

}  // namespace kestrum
