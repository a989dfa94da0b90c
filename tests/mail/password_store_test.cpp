#include "mail/keyring_password_store.h"
#include "mail/settings_password_store.h"

#include "core/qsettings_store.h"

#include "support/memory_settings_store.h"
#include "support/printers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace kestrum {
namespace {

mode_t modeOf(const QString& path) {
    struct stat info {};
    stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

// Later saves of other settings rewrite the file and its copy; neither may become readable.
TEST(SettingsPasswordStoreTest, ThePasswordFileStaysOwnerOnly) {
    QSettingsStore store;
    store.write("Pordid", "Port 1", "/dev/null");
    store.sync();
    SettingsPasswordStore passwords(store, store.fileName());
    passwords.write("kasutaja", "salasõna");
    EXPECT_EQ(modeOf(store.fileName()), 0600u);
    store.write("Pordid", "Port 2", "/dev/zero");
    store.sync();
    EXPECT_EQ(modeOf(store.fileName()), 0600u);
    EXPECT_EQ(modeOf(settings_file::backupName(store.fileName())), 0600u);
    EXPECT_EQ(QSettingsStore().read("Post", "Parool"), QStringLiteral("salasõna"));
    const QTemporaryDir folder;
    QSettingsStore fresh(folder.filePath(QStringLiteral("new/KaugVool.ini")));
    SettingsPasswordStore(fresh, fresh.fileName()).write("kasutaja", "salasõna");
    EXPECT_EQ(modeOf(fresh.fileName()), 0600u) << "in a folder not yet made";
}

// A box run without a desktop session has no keyring: the password must still be kept.
TEST(KeyringPasswordStoreTest, WithoutAKeyringThePasswordGoesToTheFallback) {
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    testing::MemorySettingsStore store;
    SettingsPasswordStore fallback(store, QString());
    KeyringPasswordStore passwords(fallback);
    EXPECT_TRUE(passwords.keepsInSettingsFile());
    passwords.write("kasutaja", "salasõna");
    EXPECT_EQ(store.read("Post", "Parool"), QStringLiteral("salasõna"));
}

}  // namespace
}  // namespace kestrum
