#pragma once

#include "mail/processed_mails.h"

namespace kestrum::testing {

// The processed mails in memory, open to the test.
class MemoryProcessedMails : public ProcessedMails {
public:
    bool contains(const QString& id) const override { return ids.contains(id); }
    void add(const QString& id) override { ids.insert(id); }
    void keepOnly(const QSet<QString>& listed) override { ids.intersect(listed); }

    QSet<QString> ids;
};

}  // namespace kestrum::testing
