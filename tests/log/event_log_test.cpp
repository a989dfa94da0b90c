#include "log/event_log.h"
#include "log/windows1257.h"
#include "support/virtual_time.h"

#include <QFile>
#include <QTemporaryDir>

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

class EventLogTest : public ::testing::Test {
protected:
    EventLogTest() {
        time.setWallClock(QDateTime(QDate(2026, 12, 6), QTime(21, 5, 9)));
        state.Logi = "1";
        for (int n = 1; n <= 8; ++n) {
            state.KlahviNimi[n] = QStringLiteral("Väljund %1   ").arg(n);
            state.SisendiNimi[n] = QStringLiteral("Uks %1").arg(n);
        }
    }
    QString path() const { return folder.filePath("kaugvoolus.log"); }
    QByteArray bytes() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString text() const { return fromWindows1257(bytes()); }
    // What one event alone writes into a fresh file.
    QString alone(const std::function<void(EventLog&)>& write) {
        QFile::remove(path());
        write(log);
        return text();
    }
    QString eventAlone(LogCode code) {
        return alone([&](EventLog& l) { l.LogEvent(code); });
    }

    testing::VirtualTime time;
    State state;
    QTemporaryDir folder;
    EventLog log{state, time, path()};
};

const QString kStamp = QStringLiteral("12-06-2026; 21:05:09; ");

TEST_F(EventLogTest, EveryEventHasItsText) {
    state.LastCommand = QStringLiteral("KOORMUS_3_SISSE_KOHE");
    state.LastMailError = QStringLiteral("Connection refused");
    const struct {
        LogCode code;
        QString text;
    } events[] = {
        {LogCode::Start, kStamp + "Kestrum started\r\n"},
        {LogCode::Stop, kStamp + "Kestrum stopped\r\n"},
        {LogCode::SessionStart, kStamp + "Mailiseanss algas\r\n"},
        {LogCode::SignedOff,
         kStamp + "Mailiserverist edukalt välja logitud\r\n---------------------\r\n"},
        {LogCode::MailFailure,
         kStamp + "Mailiserverisse sisselogimise viga\r\nConnection refused\r\n"},
        {LogCode::CommandReceived, kStamp + "Saadeti käsk: KOORMUS_3_SISSE_KOHE\r\n"},
        {LogCode::ConfirmationSent, kStamp + "Saadeti käsu täitmise kinnitus\r\n"},
        {LogCode::SyntaxError, kStamp + "Su sõnad on hämarik :( -> KOORMUS_3_SISSE_KOHE\r\n"},
        {LogCode::NoTimes, kStamp + "Saadeti käsk: KOORMUS_3_SISSE_KOHE kuid selle väljundi "
                                    "jaoks pole aegu veel määratud\r\n"},
    };
    for (const auto& e : events) {
        EXPECT_EQ(eventAlone(e.code), e.text) << e.text.toStdString();
    }
    state.LastMailError = QString();
    EXPECT_EQ(eventAlone(LogCode::MailFailure),
              kStamp + "Mailiserverisse sisselogimise viga\r\n\r\n");
}

// No failed output, or logging off, writes nothing, not even an empty file.
TEST_F(EventLogTest, FailedOutputsEachGetAnEntryInOrderAndNoneOrLoggingOffNothing) {
    EXPECT_EQ(eventAlone(LogCode::OutputsFailed), "");
    EXPECT_FALSE(QFile::exists(path()));
    state.OutputFailed[5] = 1;
    state.OutputFailed[2] = 1;
    EXPECT_EQ(eventAlone(LogCode::OutputsFailed),
              kStamp + "Väljund: Väljund 2    ei lülitu ümber!\r\n" + kStamp +
                  "Väljund: Väljund 5    ei lülitu ümber!\r\n");
    QFile::remove(path());
    for (const Value& off : {Value(0), Value("0"), Value()}) {
        state.Logi = off;
        log.LogEvent(LogCode::Start);
        log.LogInputChange(1);
        EXPECT_FALSE(QFile::exists(path()));
    }
}

TEST_F(EventLogTest, InputChangeCarriesNumbersInSignedForm) {
    state.ReadBack[11] = 1;
    EXPECT_EQ(alone([](EventLog& l) { l.LogInputChange(3); }),
              kStamp + "Sisend  3 (Uks 3) on nüüd  1\r\n");
    state.ReadBack[16] = 0;
    EXPECT_EQ(alone([](EventLog& l) { l.LogInputChange(8); }),
              kStamp + "Sisend  8 (Uks 8) on nüüd  0\r\n");
}

// Appending must leave exactly the bytes that rewriting the whole file with one space between
// the old contents and the new event would: also for an empty file and a file not ended by
// a line break.
TEST_F(EventLogTest, AppendingGivesTheBytesOfARewrite) {
    const QByteArray earlier[] = {QByteArray(), QByteArray("x"), QByteArray("old\r\n")};
    for (const QByteArray& before : earlier) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(before);
        file.close();
        log.LogEvent(LogCode::Stop);
        EXPECT_EQ(bytes(), before + ' ' + toWindows1257(kStamp + "Kestrum stopped\r\n"));
    }
    time.advance(61000);
    log.LogEvent(LogCode::SessionStart);
    EXPECT_TRUE(bytes().endsWith("\r\n 12-06-2026; 21:06:10; Mailiseanss algas\r\n"));
}

TEST_F(EventLogTest, MissingFolderIsCreatedAndUnwritableFileIsIgnored) {
    const QString nested = folder.filePath("a/b/kaugvoolus.log");
    EventLog deep(state, time, nested);
    deep.LogEvent(LogCode::Start);
    EXPECT_TRUE(QFile::exists(nested));

    EventLog blocked(state, time, folder.path());  // a folder cannot be opened as the file
    blocked.LogEvent(LogCode::Start);
    EXPECT_EQ(defaultLogFilePath(),
              qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/KaugVool/kaugvoolus.log"));
}

}  // namespace
}  // namespace kestrum
