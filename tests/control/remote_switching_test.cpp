#include "control/remote_switching.h"
#include "support/log_lines.h"
#include "support/printers.h"
#include "support/program_on_doubles.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

using Result = RemoteSwitching::Result;

// A command from the network repeats what stands only when the board read it back; anything
// else is carried out, stored and logged as by mail.
TEST(RemoteSwitchingTest, ARepeatIsWhatTheBoardReadBackAndAllElseIsCarriedOutAndStored) {
    testing::ProgramOnDoubles setup;
    setup.set("Seaded", "Logi", "1");
    setup.set("Juhtimine", "Juhtimine 1", "0");
    setup.set("Juhtimine", "Juhtimine 2", "1");
    setup.set("Mode", "Mode 1", "0");
    setup.set("Mode", "Mode 6", "1");
    setup.board.setFault(3, SimulatedBoard::Fault::StuckOn);
    Program& program = setup.start();
    RemoteSwitching remote(program.state(), program.panel(), setup.memory, program.outputs());
    const auto run = [&](int n, RemoteCommand command) {
        return remote.run(n, command, program.log());
    };
    const auto scan = [&] { setup.time.advance(BoardLink::kScanPeriodMs * 2); };
    scan();
    EXPECT_EQ(run(3, RemoteCommand::On), Result::Done) << "read on but wanted off";
    EXPECT_EQ(setup.stored("Väljundid", "Väljundid 3"), "1");
    scan();
    int latches = 0;
    setup.board.setOnRelaysLatched([&] { ++latches; });
    const int writes = setup.memory.writeCount();
    EXPECT_EQ(run(3, RemoteCommand::On), Result::Unchanged);
    EXPECT_EQ(latches + setup.memory.writeCount() - writes, 0) << "no shift, no store write";
    EXPECT_EQ(run(1, RemoteCommand::Manual), Result::Unchanged);
    EXPECT_EQ(run(6, RemoteCommand::Off), Result::Done) << "a strobing output is steadied";
    EXPECT_TRUE(program.state().Mode[6] == 0);
    EXPECT_EQ(run(2, RemoteCommand::Manual), Result::Done);
    EXPECT_EQ(setup.stored("Juhtimine", "Juhtimine 2"), "0");
    EXPECT_EQ(remote.runPulse(5, 20, program.log()), Result::Done);
    scan();
    EXPECT_EQ(run(5, RemoteCommand::On), Result::Done) << "a pulsing output is made steady";
    EXPECT_FALSE(program.outputs().pulseEnd(5));
    EXPECT_EQ(
        testing::logLines(setup.logBytes()).filter("Saadeti käsk"),
        QStringList({"Saadeti käsk: KOORMUS_3_SISSE_KOHE", "Saadeti käsk: KOORMUS_3_SISSE_KOHE",
                     "Saadeti käsk: KOORMUS_1_KASI", "Saadeti käsk: KOORMUS_6_VALJA_KOHE",
                     "Saadeti käsk: KOORMUS_2_KASI", "Saadeti käsk: KOORMUS_5_SISSE_20MIN",
                     "Saadeti käsk: KOORMUS_5_SISSE_KOHE"}));
    EXPECT_EQ(run(4, RemoteCommand::Auto), Result::NoTimes);
    EXPECT_EQ(testing::logLines(setup.logBytes()).last(2), testing::refusedAutoLines(4))
        << "as by mail";
}

}  // namespace
}  // namespace kestrum
