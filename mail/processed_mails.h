#pragma once

#include <QSet>
#include <QString>

namespace kestrum {

// The unique ids (MailBackend::uniqueId) of the mails whose commands have run, kept across
// restarts: a mail the server still holds after a failed session must not run a second time.
class ProcessedMails {
public:
    virtual ~ProcessedMails() = default;

    // True when the commands of the mail with this id have run.
    virtual bool contains(const QString& id) const = 0;
    // Remembers the id; when it cannot be saved, it is remembered until the program ends.
    virtual void add(const QString& id) = 0;
    // Forgets every id not among `listed`, the mails the server still holds; a failure to save
    // leaves the forgotten ids forgotten until the program ends.
    virtual void keepOnly(const QSet<QString>& listed) = 0;
};

}  // namespace kestrum
