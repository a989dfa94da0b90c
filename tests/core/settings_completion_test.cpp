#include "core/settings_completion.h"
#include "device/simulated_board.h"
#include "support/captured_warnings.h"
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

class SettingsCompletionTest : public ::testing::Test {
protected:
    void complete() {
        SettingsCompletion(state, panel, store, board, timers, ui).CompleteSettings();
    }
    QString seaded(const char* key) const { return store.read("Seaded", QString::fromUtf8(key)); }

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
        EXPECT_EQ(store.read(section, QString::fromUtf8(e.key), "<missing>"),
                  QString::fromUtf8(e.text))
            << e.key;
    }
    for (const char* key : {"MailEnabled", "PrefAdrOnly", "MailCheckInt", "Confirm",
                            "ParoolLubatud", "Logi", "ControlEnabled"}) {
        EXPECT_EQ(seaded(key), "0") << key;
    }
    EXPECT_TRUE(store.contains("Seaded", "PrefAdrText"));
    EXPECT_EQ(seaded("Subjekt"), "tuulelipp");
    EXPECT_EQ(seaded("Järjestikport"), "1");

    EXPECT_EQ(state.KlahviNimi[1].text(), "Väljund 1") << "the variable has no trailing blanks";
    EXPECT_EQ(timers.StroboTaimer[7]->interval(), 100);
    EXPECT_FALSE(timers.StroboTaimer[0]->isEnabled());
    EXPECT_TRUE(state.MailCountdown == 5);
    EXPECT_FALSE(timers.PostiKell->isEnabled());
    EXPECT_EQ(panel.portLabel, "1");

    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, "Kaugvool täiendas programmi seadeid. Kontrolli üle!");
    EXPECT_EQ(board.history().front().kind, SimulatedBoard::Event::Kind::Open);
    EXPECT_FALSE(board.portOpen()) << "the port test closes the port again";
}

// The two addresses hold the empty text, which reads as missing: rewritten, silently.
TEST_F(SettingsCompletionTest, ALaterRunCompletesOnlyWhatIsMissing) {
    complete();
    ui.messages.clear();
    board.clearHistory();
    int writes = store.writeCount();
    complete();
    EXPECT_EQ(store.writeCount(), writes + 2);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(board.history().empty()) << "a stored port is not tested here";

    store.write("Seaded", "Subjekt", QString());
    store.deleteSection("KlahviNimi");
    store.write("KlahviNimi", "KlahviNimi 1", "Pump");
    complete();
    EXPECT_EQ(seaded("Subjekt"), "tuulelipp");
    EXPECT_EQ(store.keyCount("KlahviNimi"), 1) << "only the probe key decides";
    EXPECT_TRUE(ui.messages.empty());

    store.deleteSection("StroboVäljas");
    writes = store.writeCount();
    complete();
    EXPECT_EQ(store.writeCount(), writes + 8 + 2);
    EXPECT_EQ(store.read("StroboVäljas", "StroboVäljas 1"), "100");
    EXPECT_EQ(ui.messages.size(), 1U);
    EXPECT_TRUE(board.history().empty());
}

TEST_F(SettingsCompletionTest, AMissingPortFallsBackToPortTwoSilently) {
    board.setPortAvailable(1, false);
    complete();
    EXPECT_EQ(seaded("Järjestikport"), "2");
    EXPECT_EQ(panel.portLabel, "2");
    EXPECT_EQ(board.commPort(), 2);
    EXPECT_TRUE(ui.messages.empty()) << "defaults were written, but the port fall-back ends it";
    EXPECT_EQ(store.keyCount("Mode"), 8);
}

// Each failing row is told in one warning with the store's reason.
TEST_F(SettingsCompletionTest, AFailingRowAbandonsItselfOnly) {
    store.failWriteAfter("KlahviNimi", 3);
    store.failSection("Mode");
    const testing::CapturedWarnings warnings;
    complete();
    EXPECT_EQ(warnings.containing("section made to fail").size(), 2);
    EXPECT_EQ(store.keyCount("KlahviNimi"), 3);
    EXPECT_EQ(state.KlahviNimi[3].text(), "Väljund 3");
    EXPECT_TRUE(state.KlahviNimi[4].isEmpty()) << "the rest of the failing row is abandoned";
    EXPECT_EQ(store.keyCount("Mode"), 0);
    EXPECT_EQ(store.keyCount("SisendiNimi"), 8);
    EXPECT_EQ(seaded("ControlEnabled"), "0");
    EXPECT_EQ(ui.messages.size(), 1U);
}

}  // namespace
}  // namespace kestrum
