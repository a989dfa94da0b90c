#include "memory_settings_store.h"

namespace kestrum::testing {

QString MemorySettingsStore::read(const QString& section, const QString& key,
                                  const QString& defaultText) const {
    const auto s = m_sections.constFind(section);
    if (s == m_sections.constEnd() || !s->contains(key)) {
        return defaultText;
    }
    return s->value(key);
}

void MemorySettingsStore::check(const QString& section) {
    if (m_failing.contains(section)) {
        throw StoreError("section made to fail");
    }
}

void MemorySettingsStore::write(const QString& section, const QString& key, const QString& text) {
    check(section);
    const auto countdown = m_writesBeforeFailure.find(section);
    if (countdown != m_writesBeforeFailure.end() && (*countdown)-- == 0) {
        m_failing.insert(section);
        check(section);
    }
    m_sections[section][key] = text;
    ++m_writes;
}

void MemorySettingsStore::deleteSection(const QString& section) {
    check(section);
    m_sections.remove(section);
}

void MemorySettingsStore::sync() {}

void MemorySettingsStore::failWriteAfter(const QString& section, int goodWrites) {
    m_writesBeforeFailure[section] = goodWrites;
}

bool MemorySettingsStore::contains(const QString& section, const QString& key) const {
    return m_sections.value(section).contains(key);
}

}  // namespace kestrum::testing
