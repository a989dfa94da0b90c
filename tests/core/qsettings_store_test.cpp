#include "core/qsettings_store.h"
#include "support/captured_warnings.h"
#include "support/local_servers.h"
#include "support/program_on_doubles.h"
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

using testing::onDisk;

// Each test starts from no settings file at all, as on a first run.
class QSettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { testing::removeSettingsFiles(); }
    void TearDown() override { testing::removeSettingsFiles(); }
};

TEST_F(QSettingsStoreTest, TextsSurviveUnchangedInTheUsersConfigFolder) {
    const struct {
        QString section;
        QString key;
        QString text;
    } values[] = {{"KlahviNimi", "KlahviNimi 2", "  Õues, ääres "},
                  {"Seaded", "Subjekt", ""},
                  {"Seaded", "Järjestikport", "3"},
                  {"Väljaajad", "Väljaaeg 168", "05.12.2026 08:00:00"}};
    {
        QSettingsStore store;
        EXPECT_EQ(store.fileName(),
                  qEnvironmentVariable("XDG_CONFIG_HOME") + "/KaugVool/KaugVool.ini");
        for (const auto& v : values) {
            store.write(v.section, v.key, v.text);
        }
        EXPECT_EQ(store.read("Seaded", "Subjekt", "x"), "") << "an empty key is no missing key";
        store.sync();
    }
    for (const auto& v : values) {
        EXPECT_EQ(onDisk(v.section, v.key), v.text) << v.key.toStdString();
    }
    EXPECT_EQ(QSettingsStore().read("Seaded", "Järjestikport"), "3") << "the next run reads it";
}

TEST_F(QSettingsStoreTest, ReplacingASectionDropsKeysNoLongerWritten) {
    QSettingsStore store;
    store.write("Juhtimine", "Juhtimine 9", "1");
    replaceSection(store, "Juhtimine", "Juhtimine", {"1", "0"});
    EXPECT_EQ(onDisk("Juhtimine", "Juhtimine 1"), "1");
    EXPECT_EQ(onDisk("Juhtimine", "Juhtimine 2"), "0");
    EXPECT_EQ(onDisk("Juhtimine", "Juhtimine 9"), "<missing>");
}

TEST_F(QSettingsStoreTest, AFileThatCannotBeSavedIsReported) {
    // A folder where the file should be cannot be written, not even by root.
    const QString file = QSettingsStore().fileName();
    ASSERT_TRUE(QDir().mkpath(file));
    QSettingsStore store;
    store.write("Seaded", "Logi", "0");
    EXPECT_THROW(store.sync(), StoreError);
    QDir().rmdir(file);
}

// A first run, a start that changes nothing, a switch and a stop, on the store of the file.
void runProgram(const QString& fileName, bool switchAnOutput) {
    QSettingsStore store(fileName);
    testing::ProgramOnDoubles setup;
    setup.store = &store;
    Program& program = setup.start();
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
        m_mounted = QProcess::execute("mount", {"-t", "tmpfs", QStringLiteral("-o"), "size=64k",
                                                QStringLiteral("tmpfs"), m_folder.path()}) == 0;
    }
    ~FullDisk() {
        if (m_mounted) {
            QProcess::execute("umount", {m_folder.path()});
        }
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool mounted() const { return m_mounted; }
    QString path(const QString& name) const { return m_folder.filePath(name); }
    // Leaves one page free: less than a settings file needs.
    void fill() const {
        QFile filler(path("filler"));
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
    const QString fileName = disk.path("KaugVool/KaugVool.ini");
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
    EXPECT_FALSE(warnings.containing("disk has room").isEmpty());
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

// The file and its copy may hold the mail and MQTT passwords: owner-only, whatever the umask.
TEST_F(QSettingsStoreTest, AMissingOrEmptyFileIsRestoredFromItsCopy) {
    const QString fileName = QSettingsStore().fileName();
    const mode_t umaskBefore = umask(0);
    const auto mode = [](const QString& name) {
        struct stat status {};
        stat(QFile::encodeName(name).constData(), &status);
        return status.st_mode & 0777;
    };
    for (const bool removed : {true, false}) {
        {
            QSettingsStore store;
            store.write("KlahviNimi", "KlahviNimi 1", QStringLiteral("Pump"));
            store.sync();
        }
        QFile(fileName).open(QIODevice::WriteOnly | QIODevice::Truncate);
        if (removed) {
            QFile::remove(fileName);
        }
        testing::CapturedWarnings warnings;
        EXPECT_EQ(QSettingsStore().read("KlahviNimi", "KlahviNimi 1"), "Pump");
        EXPECT_EQ(onDisk("KlahviNimi", "KlahviNimi 1"), "Pump");
        EXPECT_EQ(warnings.containing("restoring it from").size(), 1);
        EXPECT_EQ(mode(fileName), 0600U);
        EXPECT_EQ(mode(fileName + ".bak"), 0600U);
    }
    umask(umaskBefore);
}

// A burst of switchings saves the first at once and the rest together a second later; the copy
// is refreshed at most once a minute and at the close; a plain sync saves at once.
TEST_F(QSettingsStoreTest, SwitchingsAreSavedAtMostOnceASecond) {
    const auto inCopy = [](const QString& fileName) {
        return QSettings(fileName + ".bak", QSettings::IniFormat).value("Väljundid/Väljundid 1");
    };
    QString fileName;
    {
        QSettingsStore store;
        fileName = store.fileName();
        for (const char* state : {"1", "0", "1", "0"}) {
            replaceSwitchedSection(store, sections::Valjundid, {QString::fromLatin1(state)});
        }
        EXPECT_EQ(onDisk("Väljundid", "Väljundid 1"), "1") << "the first at once";
        EXPECT_TRUE(testing::eventually([] { return onDisk("Väljundid", "Väljundid 1") == "0"; }))
            << "the last a second later";
        EXPECT_EQ(inCopy(fileName), "1");
        store.write("Seaded", "Logi", "1");
        store.sync();
        EXPECT_EQ(onDisk("Seaded", "Logi"), "1");
        EXPECT_EQ(inCopy(fileName), "1");
    }
    EXPECT_EQ(inCopy(fileName), "0");
}

// A file as the version before weekdays, sun times and pulses left it: it loads and runs as it
// did, nobody is asked anything, its keys keep their texts and the new sections come beside them.
TEST_F(QSettingsStoreTest, AFileOfThePreviousVersionLoadsAndRunsUnchanged) {
    const QString fileName = QSettingsStore().fileName();
    {
        testing::ProgramOnDoubles previous;
        QSettingsStore store;
        previous.store = &store;
        previous.start();
        for (const char* added : {"Nädalapäevad", "PäikeSisse", "PäikeVälja", "PulsiLõpp"}) {
            store.deleteSection(QString::fromUtf8(added));
        }
        for (const auto& [section, key, text] :
             {std::tuple{"Sisseajad", "Sisseaeg 1", "08:00:00"},
              {"Sisseajad", "Sisseaeg 21", "1"},
              {"Väljaajad", "Väljaaeg 3", "08:00:02"},
              {"Väljaajad", "Väljaaeg 4", "05.12.2026"},
              {"Juhtimine", "Juhtimine 1", "1"},
              {"Initsialiseeritud", "Initsialiseeritud 1", "1"}}) {
            store.write(QString::fromUtf8(section), QString::fromUtf8(key),
                        QString::fromUtf8(text));
        }
        store.sync();
    }
    const settings_file::Values before = settings_file::read(fileName);

    testing::ProgramOnDoubles setup;
    QSettingsStore store;
    setup.store = &store;
    setup.time.setWallClock(QDateTime(QDate(2026, 12, 5), QTime(7, 59, 59)));
    setup.start();
    setup.time.advance(1000);
    EXPECT_TRUE(setup.board.relay(1));
    setup.time.advance(2000);
    EXPECT_FALSE(setup.board.relay(1));
    EXPECT_TRUE(setup.ui.messages.empty());
    store.sync();
    const settings_file::Values after = settings_file::read(fileName);
    for (auto key = before.cbegin(); key != before.cend(); ++key) {
        if (!key.key().startsWith("Väljundid/")) {
            EXPECT_EQ(after.value(key.key()), key.value()) << key.key().toStdString();
        }
    }
    EXPECT_EQ(after.value("Nädalapäevad/Nädalapäevad 80"), "1111111");
    EXPECT_EQ(after.value("PäikeSisse/PäikeSisse 1"), "0");
    EXPECT_EQ(after.value("PulsiLõpp/PulsiLõpp 8"), "0");
}

}  // namespace
}  // namespace kestrum
