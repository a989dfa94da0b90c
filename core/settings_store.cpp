#include "settings_store.h"

#include "core/logging.h"

namespace kestrum {

namespace {
void writeSection(SettingsStore& store, const QString& section, const QString& keyword,
                  const QStringList& texts) {
    store.deleteSection(section);
    for (int i = 0; i < texts.size(); ++i) {
        store.write(section, numberedKey(keyword, i + 1), texts[i]);
    }
}
}  // namespace

void replaceSection(SettingsStore& store, const QString& section, const QString& keyword,
                    const QStringList& texts) {
    writeSection(store, section, keyword, texts);
    store.sync();
}

void reportStoreError(const StoreError& error) {
    qCWarning(lcCore).noquote() << "A settings change was not saved:" << error.what();
}

void replaceSectionSkippingErrors(SettingsStore& store, const NumberedSection& section,
                                  const QStringList& texts) {
    skipOnStoreError([&] { replaceSection(store, section.section, section.keyword, texts); });
}

void replaceSwitchedSection(SettingsStore& store, const NumberedSection& section,
                            const QStringList& texts) {
    skipOnStoreError([&] {
        writeSection(store, section.section, section.keyword, texts);
        store.syncSoon();
    });
}

}  // namespace kestrum
