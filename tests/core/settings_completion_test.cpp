#include "core/settings_completion.h"
#include "device/simulated_board.h"
#include "support/fake_ui.h"
#include "support/memory_settings_store.h"
#include "support/virtual_time.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

using testing::FakeUi;
using testing::MemorySettingsStore;
using testing::VirtualTime;

const QString kInfoText = QStringLiteral("Kaugvool täiendas programmi seadeid. Kontrolli üle!");

class SettingsCompletionTest : public ::testing::Test {
protected:
    void complete() {
        SettingsCompletion(state, panel, store, board, timers, ui).CompleteSettings();
    }
    // A store as a finished first run leaves it, with what that run told the user forgotten.
    void completeOnce() {
        complete();
        ui.messages.clear();
        board.clearHistory();
    }
    QString seaded(const char* key) const {
        return store.read(QStringLiteral("Seaded"), QString::fromLatin1(key));
    }

    VirtualTime time;
    State state;
    Panel panel;
    MemorySettingsStore store;
    SimulatedBoard board{time};
    Timers timers{time};
    FakeUi ui;
};

TEST_F(SettingsCompletionTest, FirstRunWritesEverySectionAndTellsOnce) {
    complete();

    const struct {
        const char* section;
        const char* key;
        int keys;
        const char* text;
    } expected[] = {
        {"Mode", "Mode 8", 8, "0"},
        {"Juhtimine", "Juhtimine 1", 8, "0"},
        {"Initsialiseeritud", "Initsialiseeritud 8", 8, "0"},
        {"Väljundid", "Väljundid 3", 8, "0"},
        {"KlahviNimi", "KlahviNimi 1", 8, "Väljund 1    "},
        {"KlahviNimi", "KlahviNimi 8", 8, "Väljund 8    "},
        {"SisendiNimi", "SisendiNimi 5", 8, "Sisend 5    "},
        {"SisendiMuutuseMail", "SisendiMuutuseMail 8", 8, "0"},
        {"Sisseajad", "Sisseaeg 168", 168, "0"},
        {"Väljaajad", "Väljaaeg 1", 168, "0"},
        {"StroboSees", "StroboSees 4", 8, "100"},
        {"StroboVäljas", "StroboVäljas 8", 8, "100"},
    };
    for (const auto& e : expected) {
        const QString section = QString::fromUtf8(e.section);
        EXPECT_EQ(store.keyCount(section), e.keys) << e.section;
        EXPECT_EQ(store.read(section, QString::fromUtf8(e.key), QStringLiteral("<missing>")),
                  QString::fromUtf8(e.text))
            << e.key;
    }
    for (const char* key : {"MailEnabled", "PrefAdrOnly", "MailCheckInt", "Confirm",
                            "ParoolLubatud", "Logi", "ControlEnabled"}) {
        EXPECT_EQ(seaded(key), "0") << key;
    }
    EXPECT_TRUE(store.contains(QStringLiteral("Seaded"), QStringLiteral("PrefAdrText")));
    EXPECT_EQ(seaded("PrefAdrText1"), "");
    EXPECT_EQ(seaded("Subjekt"), "tuulelipp");
    EXPECT_EQ(store.read(QStringLiteral("Seaded"), QStringLiteral("Järjestikport")), "1");

    EXPECT_EQ(state.KlahviNimi[1].text(), "Väljund 1") << "the variable has no trailing blanks";
    EXPECT_TRUE(state.StroboSees[8] == 100);
    EXPECT_EQ(timers.StroboTaimer[7]->interval(), 100);
    EXPECT_FALSE(timers.StroboTaimer[0]->isEnabled());
    EXPECT_TRUE(state.MailCountdown == 5);
    EXPECT_EQ(timers.PostiKell->interval(), 60000);
    EXPECT_FALSE(timers.PostiKell->isEnabled());
    EXPECT_EQ(panel.portLabel, "1");
    EXPECT_EQ(panel.dateLabel, "REBIRTH...");

    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, kInfoText);
    EXPECT_EQ(ui.messages[0].title, "Kaugvoole info");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(board.history().front().kind, SimulatedBoard::Event::Kind::Open);
    EXPECT_FALSE(board.portOpen()) << "the port test closes the port again";
}

TEST_F(SettingsCompletionTest, CompleteStoreIsLeftAlone) {
    completeOnce();
    const int writes = store.writeCount();
    complete();
    // The two addresses hold the empty text, which reads as missing: rewritten, silently.
    EXPECT_EQ(store.writeCount(), writes + 2);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(board.history().empty()) << "a stored port is not tested here";
}

TEST_F(SettingsCompletionTest, OnlyTheMissingSectionIsWritten) {
    completeOnce();
    store.deleteSection(QStringLiteral("StroboVäljas"));
    const int writes = store.writeCount();
    complete();
    EXPECT_EQ(store.writeCount(), writes + 8 + 2);
    EXPECT_EQ(store.read(QStringLiteral("StroboVäljas"), QStringLiteral("StroboVäljas 1")), "100");
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, kInfoText);
}

TEST_F(SettingsCompletionTest, KeysThatMayHoldEmptyTextAreWrittenWithoutTelling) {
    completeOnce();
    store.write(QStringLiteral("Seaded"), QStringLiteral("Subjekt"), QString());
    store.write(QStringLiteral("Seaded"), QStringLiteral("PrefAdrText"), QString());
    complete();
    EXPECT_EQ(seaded("Subjekt"), "tuulelipp");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SettingsCompletionTest, OnlyTheProbeKeyDecides) {
    completeOnce();
    store.deleteSection(QStringLiteral("KlahviNimi"));
    store.write(QStringLiteral("KlahviNimi"), QStringLiteral("KlahviNimi 1"),
                QStringLiteral("Pump"));
    complete();
    EXPECT_EQ(store.keyCount(QStringLiteral("KlahviNimi")), 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SettingsCompletionTest, PortOneMissingOnFirstRunTakesTwoAndSaysNothing) {
    board.setPortAvailable(1, false);
    complete();
    EXPECT_EQ(store.read(QStringLiteral("Seaded"), QStringLiteral("Järjestikport")), "2");
    EXPECT_EQ(panel.portLabel, "2");
    EXPECT_EQ(board.commPort(), 2);
    EXPECT_TRUE(ui.messages.empty()) << "defaults were written, but the port fall-back ends it";
    EXPECT_EQ(store.keyCount(QStringLiteral("Mode")), 8);
}

TEST_F(SettingsCompletionTest, StoredPortIsNotTouched) {
    store.write(QStringLiteral("Seaded"), QStringLiteral("Järjestikport"), QStringLiteral("3"));
    complete();
    EXPECT_EQ(store.read(QStringLiteral("Seaded"), QStringLiteral("Järjestikport")), "3");
    EXPECT_TRUE(board.history().empty());
    EXPECT_EQ(panel.portLabel, "COM");
    EXPECT_EQ(ui.messages.size(), 1U);
}

TEST_F(SettingsCompletionTest, AFailingRowAbandonsItselfOnly) {
    store.failWriteAfter(QStringLiteral("KlahviNimi"), 3);
    store.failSection(QStringLiteral("Mode"));
    complete();
    EXPECT_EQ(store.keyCount(QStringLiteral("KlahviNimi")), 3);
    EXPECT_EQ(state.KlahviNimi[3].text(), "Väljund 3");
    EXPECT_TRUE(state.KlahviNimi[4].isEmpty()) << "the rest of the failing row is abandoned";
    EXPECT_EQ(store.keyCount(QStringLiteral("Mode")), 0);
    EXPECT_EQ(store.keyCount(QStringLiteral("SisendiNimi")), 8);
    EXPECT_EQ(store.keyCount(QStringLiteral("Väljaajad")), 168);
    EXPECT_EQ(seaded("ControlEnabled"), "0");
    EXPECT_EQ(ui.messages.size(), 1U);
}

}  // namespace
}  // namespace kestrum
