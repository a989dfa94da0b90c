#include "core/qsettings_store.h"
#include "support/captured_warnings.h"
#include "support/rig.h"
#include "support/settings_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// Each test starts from no settings file at all, as on a first run.
class QSettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { testing::removeSettingsFiles(); }
    void TearDown() override { testing::removeSettingsFiles(); }
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

// A first run, a start that changes nothing, a switch and a stop, on the store of the file.
void runProgram(const QString& fileName, bool switchAnOutput) {
    QSettingsStore store(fileName);
    testing::Rig rig;
    rig.store = &store;
    Program& program = rig.start();
    if (switchAnOutput) {
        program.switchClicked(0);
    }
    program.lifecycle().Form_Unload();
}

QByteArray contentOf(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

ino_t inodeOf(const QString& fileName) {
    struct stat status {};
    return ::stat(QFile::encodeName(fileName).constData(), &status) == 0 ? status.st_ino : 0;
}

// A small file system of its own that is then filled: every write of the store meets a full disk.
class FullDisk {
public:
    FullDisk() {
        m_mounted = QProcess::execute(QStringLiteral("mount"),
                                      {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                       QStringLiteral("-o"), QStringLiteral("size=64k"),
                                       QStringLiteral("tmpfs"), m_folder.path()}) == 0;
    }
    ~FullDisk() {
        if (m_mounted) {
            QProcess::execute(QStringLiteral("umount"), {m_folder.path()});
        }
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool mounted() const { return m_mounted; }
    QString path(const QString& name) const { return m_folder.filePath(name); }
    // Leaves one page free: less than a settings file needs.
    void fill() const {
        QFile filler(path(QStringLiteral("filler")));
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        const QByteArray page(4096, 'x');
        while (filler.write(page) == page.size()) {
        }
        filler.resize(filler.size() - page.size());
    }

private:
    QTemporaryDir m_folder;
    bool m_mounted = false;
};

TEST(SettingsFileTest, AFullDiskLeavesTheFileAndItsCopyAsTheyWere) {
    FullDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a tmpfs needs root";
    }
    const QString fileName = disk.path(QStringLiteral("KaugVool/KaugVool.ini"));
    runProgram(fileName, false);
    const QByteArray before = contentOf(fileName);
    const settings_file::Values keys = settings_file::read(fileName);
    ASSERT_GT(keys.size(), 400);
    disk.fill();

    testing::CapturedWarnings warnings;
    runProgram(fileName, true);
    EXPECT_EQ(contentOf(fileName), before);
    EXPECT_EQ(contentOf(settings_file::backupName(fileName)), before);
    EXPECT_EQ(settings_file::read(fileName), keys);
    EXPECT_EQ(QDir(QFileInfo(fileName).path()).entryList(QDir::Files),
              QStringList({"KaugVool.ini", "KaugVool.ini.bak"}))
        << "no draft is left behind";
    EXPECT_FALSE(warnings.containing(QStringLiteral("disk has room")).isEmpty());
}

TEST_F(QSettingsStoreTest, AStartThatChangesNothingDoesNotRewriteTheFile) {
    const QString fileName = QSettingsStore().fileName();
    runProgram(fileName, false);
    const ino_t first = inodeOf(fileName);
    runProgram(fileName, false);
    EXPECT_EQ(inodeOf(fileName), first);
    runProgram(fileName, true);
    EXPECT_NE(inodeOf(fileName), first) << "a switch is saved";
}

TEST_F(QSettingsStoreTest, AMissingOrEmptyFileIsRestoredFromItsCopy) {
    const QString fileName = QSettingsStore().fileName();
    for (const bool removed : {true, false}) {
        {
            QSettingsStore store;
            store.write(QStringLiteral("KlahviNimi"), QStringLiteral("KlahviNimi 1"),
                        QStringLiteral("Pump"));
            store.sync();
        }
        QFile(fileName).open(QIODevice::WriteOnly | QIODevice::Truncate);
        if (removed) {
            QFile::remove(fileName);
        }
        testing::CapturedWarnings warnings;
        EXPECT_EQ(
            QSettingsStore().read(QStringLiteral("KlahviNimi"), QStringLiteral("KlahviNimi 1")),
            "Pump");
        EXPECT_EQ(onDisk(QStringLiteral("KlahviNimi"), QStringLiteral("KlahviNimi 1")), "Pump");
        EXPECT_EQ(warnings.containing(QStringLiteral("restoring it from")).size(), 1);
    }
}

// The file may hold the mail password.
TEST_F(QSettingsStoreTest, AnOwnerOnlyFileAndItsCopyStayOwnerOnly) {
    QSettingsStore store;
    store.write(QStringLiteral("Seaded"), QStringLiteral("Logi"), QStringLiteral("1"));
    store.sync();
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    ASSERT_TRUE(QFile::setPermissions(store.fileName(), ownerOnly));
    store.write(QStringLiteral("Post"), QStringLiteral("Parool"), QStringLiteral("secret"));
    store.sync();
    for (const QString& file : {store.fileName(), settings_file::backupName(store.fileName())}) {
        EXPECT_EQ(QFile::permissions(file) & 0x7077, ownerOnly) << file.toStdString();
    }
}

}  // namespace
}  // namespace kestrum
