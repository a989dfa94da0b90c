#include "log/windows1257.h"
#include "support/captured_warnings.h"
#include "support/rig.h"

#include "support/printers.h"

#include <gtest/gtest.h>

#include <functional>

namespace kestrum {
namespace {

using Kind = SimulatedBoard::Event::Kind;

class LifecycleTest : public ::testing::Test {
protected:
    void setSeaded(const char* key, const char* text) {
        rig.memory.write(QStringLiteral("Seaded"), QString::fromUtf8(key), QString::fromUtf8(text));
    }
    // Keys of a section whose first key is missing are overwritten by the completion.
    void setNumbered(const char* section, const char* keyword, int n, const char* text) {
        if (n != 1 &&
            rig.memory.read(QString::fromUtf8(section), QString::fromUtf8(keyword) + signedText(1))
                .isEmpty()) {
            setNumbered(section, keyword, 1, "0");
        }
        rig.memory.write(QString::fromUtf8(section), QString::fromUtf8(keyword) + signedText(n),
                         QString::fromUtf8(text));
    }
    QString logText() const { return fromWindows1257(rig.logBytes()); }

    testing::Rig rig;
};

TEST_F(LifecycleTest, FirstStartShowsTheWindowCompletesAndRestores) {
    const testing::CapturedWarnings warnings;
    Program& program = rig.start();
    EXPECT_TRUE(warnings.all().isEmpty()) << "completed names carry padding, they are not too long";
    EXPECT_EQ(rig.ui.calls, QStringList({"show", "tray+ Kaugvool"}));
    EXPECT_EQ(rig.ui.messages.size(), 1U);
    EXPECT_EQ(program.panel().portLabel, "1");
    EXPECT_EQ(program.state().NewLine.text(), "\r\n");
    EXPECT_EQ(program.panel().outputs[4].frameCaption, "Väljund 5    ");
    EXPECT_EQ(program.panel().inputs[0].frameCaption, "Sisend 1    ");
    EXPECT_EQ(program.panel().outputs[0].switchCaption, "S");
    EXPECT_FALSE(program.panel().mailIndicatorShown);
    EXPECT_FALSE(program.timers().PostiKell->isEnabled());
    EXPECT_TRUE(rig.logBytes().isEmpty()) << "logging is off by default";
}

// A USB adapter not yet plugged in: port 2 serves this run only if it opens; the store keeps
// the user's port for the next start.
TEST_F(LifecycleTest, AStoredPortThatFailsIsKeptAndPortTwoServesOnlyIfItOpens) {
    for (const bool portTwoOpens : {true, false}) {
        testing::Rig fresh;
        fresh.memory.write(QStringLiteral("Seaded"), QStringLiteral("Järjestikport"),
                           QStringLiteral("4"));
        fresh.board.setPortAvailable(4, false);
        fresh.board.setPortAvailable(2, portTwoOpens);
        Program& program = fresh.start();
        const QString used = portTwoOpens ? QStringLiteral("2") : QStringLiteral("4");
        EXPECT_EQ(program.panel().portLabel, used);
        EXPECT_EQ(fresh.board.commPort(), used.toInt());
        EXPECT_EQ(fresh.seaded(QStringLiteral("Järjestikport")), "4");
        for (const auto& message : fresh.ui.messages) {
            EXPECT_NE(message.title, "Kaugvoole seadete viga...");
        }
    }
}

TEST_F(LifecycleTest, StoredPortThatOpensIsKept) {
    setSeaded("Järjestikport", "3");
    Program& program = rig.start();
    EXPECT_EQ(program.panel().portLabel, "3");
    EXPECT_EQ(rig.seaded(QStringLiteral("Järjestikport")), "3");
    EXPECT_FALSE(rig.board.portOpen());
}

TEST_F(LifecycleTest, PortOneMissingOnFirstRunEndsOnTwoWithoutTheMessage) {
    rig.board.setPortAvailable(1, false);
    Program& program = rig.start();
    EXPECT_EQ(program.panel().portLabel, "2");
    EXPECT_EQ(rig.seaded(QStringLiteral("Järjestikport")), "2");
    EXPECT_TRUE(rig.ui.messages.empty());
}

TEST_F(LifecycleTest, MailControlArmsTheCountdown) {
    setSeaded("MailEnabled", "1");
    setSeaded("MailCheckInt", "2");
    Program& program = rig.start();
    EXPECT_TRUE(program.state().MailCountdown == 15);
    EXPECT_TRUE(program.panel().mailIndicatorShown);
    EXPECT_TRUE(program.timers().PostiKell->isEnabled());
    EXPECT_EQ(program.timers().PostiKell->interval(), 60000);
}

TEST_F(LifecycleTest, StrobeTimersRunOnlyForStrobingOutputs) {
    setNumbered("Mode", "Mode", 1, "0");
    setNumbered("Mode", "Mode", 2, "1");
    setNumbered("StroboSees", "StroboSees", 1, "300");
    setNumbered("StroboSees", "StroboSees", 2, "250");
    Program& program = rig.start();
    EXPECT_TRUE(program.timers().StroboTaimer[1]->isEnabled());
    EXPECT_EQ(program.timers().StroboTaimer[1]->interval(), 250);
    for (int i : {0, 2, 3, 4, 5, 6, 7}) {
        EXPECT_FALSE(program.timers().StroboTaimer[i]->isEnabled()) << i;
    }
}

TEST_F(LifecycleTest, LoadedSettingsReachTheIndicators) {
    setNumbered("Juhtimine", "Juhtimine", 3, "1");
    setNumbered("KlahviNimi", "KlahviNimi", 1, "Pump        ");
    setNumbered("SisendiNimi", "SisendiNimi", 1, "Uks");
    setNumbered("SisendiMuutuseMail", "SisendiMuutuseMail", 6, "1");
    setNumbered("Väljundid", "Väljundid", 2, "1");
    Program& program = rig.start();
    const Panel& panel = program.panel();
    EXPECT_TRUE(panel.outputs[2].autoLampLit);
    EXPECT_FALSE(panel.outputs[0].autoLampLit);
    EXPECT_TRUE(program.state().Juhtimine[3] == 1);
    EXPECT_EQ(panel.outputs[0].frameCaption, "Pump        ");
    EXPECT_EQ(panel.outputs[4].frameCaption, "Väljund  5")
        << "a missing name has the start-up default";
    EXPECT_EQ(panel.inputs[0].frameCaption, "Uks");
    EXPECT_EQ(panel.inputs[7].frameCaption, "Sisend  8");
    EXPECT_TRUE(panel.inputs[5].mailMarkShown);
    EXPECT_FALSE(panel.inputs[4].mailMarkShown);
    EXPECT_EQ(panel.outputs[1].switchCaption, "V");
    EXPECT_EQ(panel.outputs[1].lampColour, kColourRed);
    EXPECT_TRUE(rig.board.relay(2));
}

TEST_F(LifecycleTest, EmptyStoredTextsGiveTheDefaults) {
    setNumbered("Mode", "Mode", 1, "");
    setNumbered("StroboSees", "StroboSees", 1, "");
    setNumbered("StroboVäljas", "StroboVäljas", 1, "");
    setNumbered("Sisseajad", "Sisseaeg", 1, "");
    setSeaded("MailCheckInt", "");
    Program& program = rig.start();
    const State& state = program.state();
    EXPECT_EQ(state.Mode[1].text(), "0");
    EXPECT_EQ(state.StroboSees[1].text(), "100");
    EXPECT_EQ(state.StroboValjas[1].text(), "100");
    EXPECT_EQ(state.Sisseajad(1, 1).text(), "0");
    EXPECT_EQ(state.MailCheckInt.text(), "0");
}

// A hand-edited value that would stop or spin the engine is taken as its default, or cut when it
// is a name, and told in one short warning line; the store keeps it.
TEST_F(LifecycleTest, UnusableStoredValuesAreTakenAsTheirDefaultsAndReported) {
    using Engine = std::function<QString(testing::Rig&)>;
    const Engine strobeInterval = [](testing::Rig& r) {
        return QString::number(r.program->timers().StroboTaimer[0]->interval());
    };
    const Engine offInterval = [&](testing::Rig& r) {
        r.time.advance(200);  // switched on at 100, off at 200
        return strobeInterval(r);
    };
    const Engine countdown = [](testing::Rig& r) {
        return r.program->state().MailCountdown.text();
    };
    const Engine outputName = [](testing::Rig& r) {
        return r.program->panel().outputs[0].frameCaption;
    };
    const Engine inputName = [](testing::Rig& r) {
        return r.program->panel().inputs[0].frameCaption;
    };
    const struct {
        QString section;
        QString key;
        QString stored;
        Engine engine;
        QString expected;
    } cases[] = {
        {"StroboSees", "StroboSees 1", "0", strobeInterval, "100"},
        {"StroboSees", "StroboSees 1", "abc", strobeInterval, "100"},
        {"StroboSees", "StroboSees 1", "1", strobeInterval, "100"},
        {"StroboVäljas", "StroboVäljas 1", "-5", offInterval, "100"},
        {"Seaded", "MailCheckInt", "-1", countdown, "5"},
        {"Seaded", "MailCheckInt", "2000000000", countdown, "5"},
        {"KlahviNimi", "KlahviNimi 1", QString(1 << 20, QLatin1Char('x')), outputName,
         QString(12, QLatin1Char('x'))},
        // Half of the emoji would be left at the cut.
        {"SisendiNimi", "SisendiNimi 1", QString(11, QLatin1Char('a')) + QStringLiteral("😀b"),
         inputName, QString(11, QLatin1Char('a'))},
    };
    for (const auto& c : cases) {
        testing::Rig fresh;
        fresh.memory.write(QStringLiteral("Mode"), QStringLiteral("Mode 1"), QStringLiteral("1"));
        fresh.memory.write(QStringLiteral("Seaded"), QStringLiteral("MailEnabled"),
                           QStringLiteral("1"));
        fresh.memory.write(c.section, c.key, c.stored);
        const testing::CapturedWarnings warnings;
        fresh.start();
        const std::string row = (c.key + QLatin1Char('=') + c.stored.left(20)).toStdString();
        EXPECT_EQ(c.engine(fresh), c.expected) << row;
        ASSERT_EQ(warnings.all().size(), 1) << row;
        const QString& line = warnings.all().front();
        EXPECT_TRUE(line.startsWith(QStringLiteral("kestrum.core: "))) << row;
        EXPECT_TRUE(line.contains(
            QStringLiteral("[%1] %2 = \"%3").arg(c.section, c.key, c.stored.left(10))))
            << line.toStdString();
        EXPECT_LT(line.size(), 200) << row;
        EXPECT_EQ(fresh.memory.read(c.section, c.key), c.stored) << row;
    }
}

TEST_F(LifecycleTest, ScanningStartsAfterStartUp) {
    rig.board.setInput(5, true);
    Program& program = rig.start();
    rig.board.clearHistory();
    rig.time.advance(109);
    EXPECT_FALSE(program.panel().inputs[4].lampLit);
    rig.time.advance(1);
    EXPECT_TRUE(program.panel().inputs[4].lampLit);
}

TEST_F(LifecycleTest, StartAndStopAreLoggedOnceEach) {
    setSeaded("Logi", "1");
    Program& program = rig.start();
    program.lifecycle().ShutDown();     // the Exit button
    program.lifecycle().Form_Unload();  // the window then unloads
    program.lifecycle().ShutDown();
    const QString log = logText();
    EXPECT_EQ(log.count(QStringLiteral("Kestrum started")), 1);
    EXPECT_EQ(log.count(QStringLiteral("Kestrum stopped")), 1);
    EXPECT_TRUE(log.endsWith(QStringLiteral("; Kestrum stopped\r\n")));
    EXPECT_EQ(rig.ui.calls.count(QStringLiteral("unload")), 1);
    EXPECT_EQ(rig.ui.calls.last(), "tray- Kaugvool");
}

TEST_F(LifecycleTest, StopWritesBackControlAndInputMailFlags) {
    setNumbered("Juhtimine", "Juhtimine", 9, "1");  // left by an older program
    Program& program = rig.start();
    program.state().Juhtimine[4] = 1;
    program.state().SisendiMuutuseMail[7] = 1;
    program.lifecycle().Form_Unload();
    EXPECT_EQ(rig.memory.read(QStringLiteral("Juhtimine"), QStringLiteral("Juhtimine 4")), "1");
    EXPECT_EQ(rig.memory.read(QStringLiteral("Juhtimine"), QStringLiteral("Juhtimine 1")), "0");
    EXPECT_FALSE(rig.memory.contains(QStringLiteral("Juhtimine"), QStringLiteral("Juhtimine 9")));
    EXPECT_EQ(rig.memory.read(QStringLiteral("SisendiMuutuseMail"),
                              QStringLiteral("SisendiMuutuseMail 7")),
              "1");
    EXPECT_EQ(rig.ui.calls.mid(2), QStringList({"tray- Kaugvool", "unload"}));
}

TEST_F(LifecycleTest, StopGoesOnWhenTheStoreFails) {
    setSeaded("Logi", "1");
    Program& program = rig.start();
    rig.memory.failSection(QStringLiteral("Juhtimine"));
    program.state().SisendiMuutuseMail[1] = 1;
    program.lifecycle().ShutDown();
    EXPECT_EQ(rig.memory.read(QStringLiteral("SisendiMuutuseMail"),
                              QStringLiteral("SisendiMuutuseMail 1")),
              "1");
    EXPECT_TRUE(logText().endsWith(QStringLiteral("; Kestrum stopped\r\n")));
    EXPECT_TRUE(rig.ui.calls.contains(QStringLiteral("unload")));
}

// SIGTERM while the completion's message waits: the variables are not loaded yet, so writing
// them back would empty the user's stored control modes and input mail flags.
TEST_F(LifecycleTest, AStopBeforeTheSettingsAreLoadedWritesNothing) {
    setSeaded("Logi", "1");
    for (int n = 1; n <= 8; ++n) {
        setNumbered("Juhtimine", "Juhtimine", n, "1");
        setNumbered("SisendiMuutuseMail", "SisendiMuutuseMail", n, "1");
    }
    Program& program = rig.build();
    rig.ui.whileMessageShown = [&] { program.lifecycle().Form_Unload(); };
    program.lifecycle().Form_Load();
    ASSERT_EQ(rig.ui.messages.size(), 1U);
    EXPECT_EQ(rig.memory.read(QStringLiteral("Juhtimine"), QStringLiteral("Juhtimine 8")), "1");
    EXPECT_EQ(rig.memory.read(QStringLiteral("SisendiMuutuseMail"),
                              QStringLiteral("SisendiMuutuseMail 8")),
              "1");
    EXPECT_TRUE(rig.ui.calls.contains(QStringLiteral("unload")));
    EXPECT_TRUE(rig.logBytes().isEmpty()) << "neither a start nor a stop took place";
    rig.board.clearHistory();
    rig.time.advance(1000);
    EXPECT_TRUE(rig.board.history().empty()) << "nothing scans";
}

TEST_F(LifecycleTest, NothingScansAfterTheStop) {
    Program& program = rig.start();
    program.lifecycle().ShutDown();
    rig.board.clearHistory();
    rig.time.advance(1000);
    EXPECT_TRUE(rig.board.history().empty());
}

}  // namespace
}  // namespace kestrum
