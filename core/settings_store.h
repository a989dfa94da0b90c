#pragma once

#include "settings_keys.h"

#include <QString>
#include <QStringList>

#include <stdexcept>

namespace kestrum {

// A store operation that did not take effect; callers skip the failing step and go on.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The per-user settings store of application "KaugVool": texts in sections of keys.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored text; the default when the key is missing. A key holding "" reads "".
    virtual QString read(const QString& section, const QString& key,
                         const QString& defaultText = {}) const = 0;
    // Stores the text, creating section and key; throws StoreError and leaves the key as it was.
    virtual void write(const QString& section, const QString& key, const QString& text) = 0;
    // Removes the section with all its keys; throws StoreError and leaves the section as it was.
    virtual void deleteSection(const QString& section) = 0;
    // Makes every write so far durable; throws StoreError when they could not be saved.
    virtual void sync() = 0;
    // Makes every write so far durable soon: a store whose saves are costly saves at most once
    // a second, so a burst of switchings ends in one save of the final states. A save that fails
    // later is reported, not thrown.
    virtual void syncSoon() { sync(); }
};

// Deletes the section, writes texts[i] under the key numbered i + 1 and syncs.
void replaceSection(SettingsStore& store, const QString& section, const QString& keyword,
                    const QStringList& texts);

// Replaces a per-output or per-input section whole, ignoring a store that fails.
void replaceSectionSkippingErrors(SettingsStore& store, const NumberedSection& section,
                                  const QStringList& texts);
// The same for the sections every switching rewrites, saved with syncSoon().
void replaceSwitchedSection(SettingsStore& store, const NumberedSection& section,
                            const QStringList& texts);

// Writes the error as one warning line: a skipped step leaves no other trace.
void reportStoreError(const StoreError& error);

// Runs one store step; a StoreError ends that step alone.
template <typename Step>
void skipOnStoreError(Step&& step) {
    try {
        step();
    } catch (const StoreError& error) {
        reportStoreError(error);
    }
}

}  // namespace kestrum
