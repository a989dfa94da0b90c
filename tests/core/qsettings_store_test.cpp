#include "core/qsettings_store.h"
#include "support/rig.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// Each test starts from no settings file at all, as on a first run.
class QSettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { QFile::remove(QSettingsStore().fileName()); }
    void TearDown() override { QFile::remove(QSettingsStore().fileName()); }
    // What another program run finds in the file.
    static QString onDisk(const QString& section, const QString& key) {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KaugVool"),
                           QStringLiteral("KaugVool"));
        return settings.value(section + QLatin1Char('/') + key, QStringLiteral("<missing>"))
            .toString();
    }
};

TEST_F(QSettingsStoreTest, LivesInTheUsersConfigFolder) {
    EXPECT_EQ(QSettingsStore().fileName(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/KaugVool/KaugVool.ini"));
}

TEST_F(QSettingsStoreTest, TextsSurviveUnchanged) {
    {
        QSettingsStore store;
        store.write(QStringLiteral("Väljundid"), QStringLiteral("Väljundid 1"),
                    QStringLiteral("1"));
        store.write(QStringLiteral("KlahviNimi"), QStringLiteral("KlahviNimi 2"),
                    QStringLiteral("  Õues, ääres "));
        store.write(QStringLiteral("Seaded"), QStringLiteral("PrefAdrText"), QString());
        store.write(QStringLiteral("Sisseajad"), QStringLiteral("Sisseaeg 168"),
                    QStringLiteral("05.12.2026 08:00:00"));
        store.sync();
    }
    EXPECT_EQ(onDisk(QStringLiteral("Väljundid"), QStringLiteral("Väljundid 1")), "1");
    EXPECT_EQ(onDisk(QStringLiteral("KlahviNimi"), QStringLiteral("KlahviNimi 2")),
              "  Õues, ääres ");
    EXPECT_EQ(onDisk(QStringLiteral("Seaded"), QStringLiteral("PrefAdrText")), "");
    EXPECT_EQ(onDisk(QStringLiteral("Sisseajad"), QStringLiteral("Sisseaeg 168")),
              "05.12.2026 08:00:00");
}

TEST_F(QSettingsStoreTest, MissingKeyGivesTheDefaultButAnEmptyKeyGivesEmpty) {
    QSettingsStore store;
    store.write(QStringLiteral("Seaded"), QStringLiteral("Subjekt"), QString());
    EXPECT_EQ(store.read(QStringLiteral("Seaded"), QStringLiteral("Subjekt"), QStringLiteral("x")),
              "");
    EXPECT_EQ(store.read(QStringLiteral("Seaded"), QStringLiteral("Logi"), QStringLiteral("0")),
              "0");
    EXPECT_EQ(store.read(QStringLiteral("Seaded"), QStringLiteral("Logi")), "");
}

TEST_F(QSettingsStoreTest, ReplacingASectionDropsKeysNoLongerWritten) {
    QSettingsStore store;
    store.write(QStringLiteral("Juhtimine"), QStringLiteral("Juhtimine 9"), QStringLiteral("1"));
    replaceSection(store, QStringLiteral("Juhtimine"), QStringLiteral("Juhtimine"),
                   {QStringLiteral("1"), QStringLiteral("0")});
    EXPECT_EQ(onDisk(QStringLiteral("Juhtimine"), QStringLiteral("Juhtimine 1")), "1");
    EXPECT_EQ(onDisk(QStringLiteral("Juhtimine"), QStringLiteral("Juhtimine 2")), "0");
    EXPECT_EQ(onDisk(QStringLiteral("Juhtimine"), QStringLiteral("Juhtimine 9")), "<missing>");
}

TEST_F(QSettingsStoreTest, AFileThatCannotBeSavedIsReported) {
    // A folder where the file should be cannot be written, not even by root.
    const QString file = QSettingsStore().fileName();
    ASSERT_TRUE(QDir().mkpath(file));
    QSettingsStore store;
    EXPECT_THROW(
        {
            store.write(QStringLiteral("Seaded"), QStringLiteral("Logi"), QStringLiteral("0"));
            store.sync();
        },
        StoreError);
    QDir().rmdir(file);
}

// A first run on the real file: every section written with its defaults, readable by the
// next run with non-ASCII section and key names intact.
TEST_F(QSettingsStoreTest, FirstRunCompletesTheRealFile) {
    {
        QSettingsStore store;
        testing::Rig rig;
        rig.store = &store;
        rig.start();
        EXPECT_EQ(rig.ui.messages.size(), 1U);
    }
    EXPECT_EQ(onDisk(QStringLiteral("Väljundid"), QStringLiteral("Väljundid 8")), "0");
    EXPECT_EQ(onDisk(QStringLiteral("Väljaajad"), QStringLiteral("Väljaaeg 168")), "0");
    EXPECT_EQ(onDisk(QStringLiteral("StroboVäljas"), QStringLiteral("StroboVäljas 1")), "100");
    EXPECT_EQ(onDisk(QStringLiteral("KlahviNimi"), QStringLiteral("KlahviNimi 1")),
              "Väljund 1    ");
    EXPECT_EQ(onDisk(QStringLiteral("SisendiNimi"), QStringLiteral("SisendiNimi 8")),
              "Sisend 8    ");
    EXPECT_EQ(onDisk(QStringLiteral("Seaded"), QStringLiteral("Subjekt")), "tuulelipp");
    EXPECT_EQ(onDisk(QStringLiteral("Seaded"), QStringLiteral("Järjestikport")), "1");

    QSettingsStore again;
    again.write(QStringLiteral("Seaded"), QStringLiteral("Järjestikport"), QStringLiteral("3"));
    testing::Rig rig;
    rig.store = &again;
    rig.start();
    EXPECT_TRUE(rig.ui.messages.empty()) << "a complete store is not completed again";
    EXPECT_EQ(rig.program->state().KlahviNimi[1].text(), "Väljund 1    ");
    EXPECT_EQ(rig.board.commPort(), 3);
    EXPECT_EQ(rig.program->generalSettings().Form_Load().portIndex, 2)
        << "the settings window finds the port under its non-ASCII key";
}

}  // namespace
}  // namespace kestrum
