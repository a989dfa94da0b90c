#include "settings_store.h"

#include "value.h"

namespace kestrum {

QString numberedKey(const QString& keyword, int n) {
    return keyword + signedText(n);
}

void replaceSection(SettingsStore& store, const QString& section, const QString& keyword,
                    const QStringList& texts) {
    store.deleteSection(section);
    for (int i = 0; i < texts.size(); ++i) {
        store.write(section, numberedKey(keyword, i + 1), texts[i]);
    }
    store.sync();
}

void replaceSectionSkippingErrors(SettingsStore& store, const NumberedSection& section,
                                  const QStringList& texts) {
    skipOnStoreError([&] { replaceSection(store, section.section, section.keyword, texts); });
}

}  // namespace kestrum
