#include "log/log_tail.h"
#include "support/mail_test_base.h"

#include <QFile>

namespace kestrum {
namespace {

const QString kTimeLine = QStringLiteral("Süsteemi aeg: 09:30:15 ja kuupäev: 06.12.2026");

class RepliesTest : public testing::MailTestBase {
protected:
    RepliesTest() {
        start();
        for (int k = 1; k <= 8; ++k) {
            state().KlahviNimi[k] = QStringLiteral("Out%1").arg(k);
        }
    }
    QString reply(const char* command, const char* subject) {
        runMail(QString::fromLatin1(command));
        EXPECT_EQ(sentSubjects(), QStringList({QString::fromUtf8(subject)}));
        return setup.mailbox.sent.empty() ? QString() : setup.mailbox.sent[0].body;
    }
};

TEST_F(RepliesTest, StatusWithAndWithoutSupervision) {
    state().Juhtimine[2] = 1;
    state().Valjundid[2] = 1;
    state().ControlEnabled = 1;
    state().OutputFailed[4] = 1;
    QString expected;
    for (int k = 1; k <= 8; ++k) {
        expected += QStringLiteral("Out%1").arg(k) +
                    (k == 2 ? ": automaatjuhtimisel, hetkel sisse lülitatud, "
                            : ": käsitsi juhtimisel, hetkel välja lülitatud, ") +
                    (k == 4 ? "RIKE!!!" : "OK!") + "\r\n";
    }
    EXPECT_EQ(reply("[SEISUND]", "Kaugvoole hetkeseis"), expected + kTimeLine + "\r\n");

    state().ControlEnabled = 0;
    const QString unsupervised = reply("[SEISUND]", "Kaugvoole hetkeseis");
    EXPECT_TRUE(unsupervised.startsWith("Out1: käsitsi juhtimisel, hetkel välja lülitatud, \r\n"));
    EXPECT_TRUE(
        unsupervised.endsWith(kTimeLine + "\r\nVäljundite turvakontroll välja lülitatud !"));
}

TEST_F(RepliesTest, TimeTableListsTenPairsPerOutput) {
    state().Sisseajad(1, 1) = "08:00:00";
    state().Sisseajad(2, 1) = "24.12.2006";
    state().Valjaajad(1, 1) = QDateTime(zeroDate(), QTime(9, 15));
    state().Valjaajad(2, 1) = QDateTime(QDate(2006, 12, 24), QTime(0, 0));
    state().Sisseajad(21, 2) = 1;
    state().Sisseajad(3, 2) = "05.12.2026 07:00:00";
    const QString body = reply("[AJAD]", "Kaugvoole väljundite lülitumisajad");
    EXPECT_TRUE(
        body.startsWith("Out1\r\n 1: sisse - 08:00:00 - 24.12.2006\r\n"
                        "välja - 09:15:00 - 24.12.2006\r\n 2: sisse - 0 - 0\r\nvälja - 0 - 0\r\n"));
    EXPECT_TRUE(
        body.contains("Out2\r\n 1: sisse - 0iga päev\r\nvälja - 0iga päev\r\n"
                      " 2: sisse - 07:00:00iga päev\r\n"));
    EXPECT_EQ(body.count("sisse - "), 80);
    EXPECT_TRUE(body.endsWith(" 10: sisse - 0 - 0\r\nvälja - 0 - 0\r\n" + kTimeLine));
}

TEST_F(RepliesTest, LogReplyCarriesTheFileAsStored) {
    const QByteArray before = setup.logBytes();
    const QString body = reply("[LOGI]", "Kaugvoole logi");
    EXPECT_TRUE(body.startsWith(fromWindows1257(before)));
    EXPECT_TRUE(body.contains(" 12-06-2026; 09:30:15; Saadeti käsk: LOGI\r\n\r\n" + kTimeLine));

    state().Logi = 0;
    QFile::remove(setup.logPath());
    EXPECT_EQ(reply("[LOGI]", "Kaugvoole logi"), "Logifail puudub või on tühi\r\n");

    // A long log: its end only, as the viewer shows it, from the first line that begins after
    // the cut.
    QFile big(setup.logPath());
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write("the first line\r\n" + QByteArray(kLogTailLimit, 'x') + "\r\nthe last line\r\n");
    big.close();
    EXPECT_EQ(
        reply("[LOGI]", "Kaugvoole logi"),
        "Logi algus jäeti välja: logi on suurem kui 1 MB.\r\nthe last line\r\n\r\n" + kTimeLine);
}

}  // namespace
}  // namespace kestrum
