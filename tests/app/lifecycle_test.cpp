#include "app/engine.h"
#include "app/headless_ui.h"
#include "app/signal_exit.h"
#include "log/windows1257.h"
#include "support/captured_warnings.h"
#include "support/log_lines.h"
#include "support/program_on_doubles.h"
#include "support/scripted_prompt.h"
#include "support/settings_files.h"
#include "support/waiting_password_store.h"

#include "support/printers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <tuple>

namespace kestrum {
namespace {

class LifecycleTest : public ::testing::Test {
protected:
    // The completion rewrites a numbered section whose first key is missing.
    void setNumbered(const QString& section, const QString& keyword, int n, const QString& text) {
        if (setup.stored(section, keyword + " 1") == "<missing>") {
            setup.set(section, keyword + " 1", "0");
        }
        setup.set(section, keyword + signedText(n), text);
    }

    testing::ProgramOnDoubles setup;
};

TEST_F(LifecycleTest, FirstStartShowsTheWindowAndWarnsOfNothing) {
    const testing::CapturedWarnings warnings;
    Program& program = setup.start();
    EXPECT_TRUE(warnings.all().isEmpty()) << "completed names carry padding, they are not too long";
    EXPECT_EQ(setup.ui.calls, QStringList({"show", "tray+ Kaugvool"}));
    EXPECT_EQ(program.panel().outputs[4].frameCaption, "Väljund 5    ");
    EXPECT_FALSE(program.panel().mailIndicatorShown) << "mail control is off";
}

// A USB adapter not yet plugged in: port 2 serves this run only if it opens; the store keeps
// the user's port for the next start.
TEST_F(LifecycleTest, AStoredPortIsKeptAndPortTwoServesOnlyWhileItFails) {
    for (const auto& [storedOpens, portTwoOpens, used] :
         {std::tuple{true, false, 4}, {false, true, 2}, {false, false, 4}}) {
        testing::ProgramOnDoubles fresh;
        fresh.set("Seaded", "Järjestikport", "4");
        fresh.board.setPortAvailable(4, storedOpens);
        fresh.board.setPortAvailable(2, portTwoOpens);
        EXPECT_EQ(fresh.start().panel().portLabel, QString::number(used));
        EXPECT_EQ(fresh.board.commPort(), used);
        EXPECT_EQ(fresh.seaded("Järjestikport"), "4");
        for (const auto& message : fresh.ui.messages) {
            EXPECT_NE(message.title, "Kaugvoole seadete viga...") << message.text.toStdString();
        }
    }
}

// Mail control with no gate lets any mail switch the loads: a start says so once, on the
// terminal (the journal of the headless program) and in the event log; any one gate is enough.
TEST_F(LifecycleTest, MailControlWithNoGateIsWarnedOfOnceAtStart) {
    for (const auto& [key, text, warned] : {std::tuple{"MailEnabled", "0", false},
                                            {"ParoolLubatud", "1", false},
                                            {"PrefAdrOnly", "1", false},
                                            {"VerifiedSenders", "1", false},
                                            {"Logi", "1", true}}) {
        testing::ProgramOnDoubles fresh;
        fresh.set("Seaded", "Logi", "1");
        fresh.set("Seaded", "MailEnabled", "1");
        fresh.set("Seaded", "PrefAdrText", "owner@example.org");
        fresh.set("Seaded", key, text);
        const testing::CapturedWarnings warnings;
        fresh.start();
        const qsizetype expected = warned ? 1 : 0;
        EXPECT_EQ(warnings.containing("anyone who can send a mail").size(), expected) << key;
        EXPECT_EQ(fromWindows1257(fresh.logBytes()).count("anyone who can send a mail"), expected)
            << key;
    }
}

TEST_F(LifecycleTest, LoadedSettingsReachTheIndicatorsAndEmptyTextsGiveTheDefaults) {
    setNumbered("Juhtimine", "Juhtimine", 3, "1");
    setNumbered("SisendiNimi", "SisendiNimi", 1, "Uks");
    setNumbered("SisendiMuutuseMail", "SisendiMuutuseMail", 6, "1");
    setNumbered("Väljundid", "Väljundid", 2, "1");
    setNumbered("Mode", "Mode", 8, "1");
    setNumbered("StroboSees", "StroboSees", 1, "");
    setNumbered("StroboVäljas", "StroboVäljas", 8, "");
    setNumbered("Sisseajad", "Sisseaeg", 1, "");
    setup.set("Seaded", "MailCheckInt", "");
    Program& program = setup.start();
    EXPECT_TRUE(program.panel().outputs[2].autoLampLit);
    EXPECT_EQ(program.panel().inputs[0].frameCaption, "Uks");
    EXPECT_TRUE(program.panel().inputs[5].mailMarkShown);
    EXPECT_TRUE(setup.board.relay(2));
    EXPECT_EQ(program.state().StroboSees[1].text(), "100");
    EXPECT_EQ(program.state().Sisseajad(1, 1).text(), "0");
    EXPECT_EQ(program.state().MailCheckInt.text(), "0");
    setup.time.advance(100);
    EXPECT_TRUE(setup.board.relay(8)) << "output 8 strobes";
    setup.time.advance(100);
    EXPECT_FALSE(setup.board.relay(8)) << "an empty off time is 100 ms";
}

// A hand-edited value that would stop or spin the engine is taken as its default, or cut when it
// is a name, and told in one short warning line; the store keeps it.
TEST_F(LifecycleTest, UnusableStoredValuesAreTakenAsTheirDefaultsAndReported) {
    enum { OnInterval, Countdown, OutputName, InputName, OffInterval };
    const auto observe = [](testing::ProgramOnDoubles& r) {
        QStringList seen{QString::number(r.program->timers().StroboTaimer[0]->interval()),
                         r.program->state().MailCountdown.text(),
                         r.program->panel().outputs[0].frameCaption,
                         r.program->panel().inputs[0].frameCaption};
        r.time.advance(200);  // switched on at 100, off at 200
        return seen << QString::number(r.program->timers().StroboTaimer[0]->interval());
    };
    using Case = std::tuple<QString, QString, QString, int, QString>;
    for (const auto& [section, key, text, seen, expected] : std::initializer_list<Case>{
             {"StroboSees", "StroboSees 1", "abc", OnInterval, "100"},
             {"StroboSees", "StroboSees 1", "1", OnInterval, "100"},
             {"StroboVäljas", "StroboVäljas 1", "-5", OffInterval, "100"},
             {"Seaded", "MailCheckInt", "-1", Countdown, "5"},
             {"Seaded", "MailCheckInt", "2000000000", Countdown, "5"},
             {"KlahviNimi", "KlahviNimi 1", QString(1 << 20, 'x'), OutputName, QString(12, 'x')},
             // Half of the emoji would be left at the cut.
             {"SisendiNimi", "SisendiNimi 1", QString(11, 'a') + "😀b", InputName, QString(11, 'a')},
         }) {
        testing::ProgramOnDoubles fresh;
        fresh.set("Mode", "Mode 1", "1");
        fresh.set("Seaded", "MailEnabled", "1");
        fresh.set("Seaded", "ParoolLubatud", "1");  // with a gate, mail control is no warning
        fresh.set(section, key, text);
        const testing::CapturedWarnings warnings;
        fresh.start();
        const std::string row = (key + '=' + text.left(20)).toStdString();
        EXPECT_EQ(observe(fresh).at(seen), expected) << row;
        ASSERT_EQ(warnings.all().size(), 1) << row;
        EXPECT_TRUE(warnings.all().front().contains(
            QStringLiteral("[%1] %2 = \"%3").arg(section, key, text.left(10))))
            << row;
        EXPECT_LT(warnings.all().front().size(), 200) << row;
        EXPECT_EQ(fresh.stored(section, key), text) << row;
    }
}

// The Exit button stops, and so does the window unloading after it: only the first counts. The
// stop writes back the control and input mail flags; a section that cannot be written whole
// does not keep the rest from being stored.
TEST_F(LifecycleTest, StartAndStopAreLoggedOnceEachEvenWhenTheStoreFails) {
    setNumbered("Juhtimine", "Juhtimine", 9, "1");  // left by an older program
    setup.set("Seaded", "Logi", "1");
    setup.set("Mode", "Mode 1", "1");
    setup.board.setInput(5, true);
    Program& program = setup.start();
    setup.time.advance(109);
    EXPECT_FALSE(program.panel().inputs[4].lampLit) << "the first scan comes a period after start";
    setup.time.advance(BoardLink::kScanPeriodMs + 1);  // within the second scan's settle wait
    EXPECT_TRUE(program.panel().inputs[4].lampLit);
    setup.memory.failWriteAfter("Juhtimine", 4);
    program.state().Juhtimine[4] = 1;
    program.state().SisendiMuutuseMail[1] = 1;
    program.lifecycle().ShutDown();
    program.lifecycle().Form_Unload();
    program.lifecycle().ShutDown();
    EXPECT_EQ(setup.stored("Juhtimine", "Juhtimine 4"), "1");
    EXPECT_EQ(setup.stored("Juhtimine", "Juhtimine 9"), "<missing>");
    EXPECT_EQ(setup.stored("SisendiMuutuseMail", "SisendiMuutuseMail 1"), "1");
    const QString log = fromWindows1257(setup.logBytes());
    EXPECT_EQ(log.count("Kestrum started"), 1);
    EXPECT_EQ(log.count("Kestrum stopped"), 1);
    EXPECT_TRUE(log.endsWith("; Kestrum stopped\r\n"));
    EXPECT_EQ(setup.ui.calls.count("unload"), 1);
    EXPECT_EQ(setup.ui.calls.last(), "tray- Kaugvool");
    setup.board.clearHistory();
    setup.time.advance(1000);
    EXPECT_TRUE(setup.board.history().empty())
        << "nothing scans or strobes after the stop, nor ends a scan";
}

// On the real services: start-up completes the settings file, and a stop while start-up waits on
// its message is reported, so that no event loop is entered afresh.
TEST(EngineTest, StartsOnTheRealServicesAndReportsAStopDuringStartUp) {
    testing::ScriptedPrompt prompt;
    testing::FakeUi ui;
    testing::removeSettingsFiles();
    {
        Engine engine(true, ui, prompt);
        EXPECT_TRUE(engine.start());
        EXPECT_EQ(testing::onDisk("Seaded", "Subjekt"), "tuulelipp");
    }
    testing::removeSettingsFiles();
    Engine engine(true, ui, prompt);
    ui.whileMessageShown = [&] { engine.program().lifecycle().Form_Unload(); };
    EXPECT_FALSE(engine.start());
    testing::removeSettingsFiles();
}

// The headless program as it starts with a broker whose password sits in a keyring that is slow
// to answer: SIGTERM arrives while start-up waits for it. The process must end, in order, rather
// than run on with its scans stopped. It runs in a child process, which the stop really ends.
TEST(EngineTest, ASigtermWhileStartUpWaitsOnTheKeyringEndsTheProgramInOrder) {
    GTEST_FLAG_SET(death_test_style, "fast");
    const auto run = [] {
        testing::ProgramOnDoubles setup;
        setup.set(QStringLiteral("Seaded"), QStringLiteral("Logi"), QStringLiteral("1"));
        setup.set(mqtt::section, mqtt::broker, QStringLiteral("mqtt://127.0.0.1:1"));
        setup.set(mqtt::section, mqtt::user, QStringLiteral("hub"));
        HeadlessUi ui;
        Program program(Services{setup.memory, setup.board, setup.time, setup.time, ui,
                                 setup.mailbox, setup.processedMemory, setup.logPath(),
                                 setup.locale});
        testing::WaitingPasswordStore passwords;
        passwords.whileWaiting = [] { std::raise(SIGTERM); };
        MosquittoClient client;
        MqttBridge bridge(program.state(), program.panel(),
                          {setup.memory, passwords, program.outputs(), program.log(), client,
                           [&] { return !program.lifecycle().hasShutDown(); }});
        const SignalExit signalExit([&] { program.lifecycle().Form_Unload(); });
        // Were the stop lost, the loop would run on: the guard ends it with another status.
        QTimer::singleShot(5000, [] { QCoreApplication::exit(9); });
        const int status = startProgram(program, bridge) ? QCoreApplication::exec() : 0;
        std::fprintf(
            stderr, "stops: %d, stored: %s\n",
            static_cast<int>(
                testing::logLines(setup.logBytes()).filter(QStringLiteral("stopped")).size()),
            qPrintable(setup.stored(QStringLiteral("Juhtimine"), QStringLiteral("Juhtimine 1"))));
        std::exit(status);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "stops: 1, stored: 0");
}

}  // namespace
}  // namespace kestrum
