#pragma once

#include "core/settings_store.h"

#include <QMap>
#include <QSet>

namespace kestrum::testing {

// The settings store in memory. A section can be made to fail: writes, deletes and syncs that
// touch it throw StoreError and change nothing.
class MemorySettingsStore : public SettingsStore {
public:
    QString read(const QString& section, const QString& key,
                 const QString& defaultText = {}) const override;
    void write(const QString& section, const QString& key, const QString& text) override;
    void deleteSection(const QString& section) override;
    void sync() override;

    void failSection(const QString& section) { m_failing.insert(section); }
    // Fails the first write into the section after `goodWrites` writes have gone through.
    void failWriteAfter(const QString& section, int goodWrites);

    bool contains(const QString& section, const QString& key) const;
    int keyCount(const QString& section) const { return m_sections.value(section).size(); }
    int writeCount() const { return m_writes; }

private:
    void check(const QString& section);

    QMap<QString, QMap<QString, QString>> m_sections;
    QSet<QString> m_failing;
    QMap<QString, int> m_writesBeforeFailure;
    int m_writes = 0;
};

}  // namespace kestrum::testing
