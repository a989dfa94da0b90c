#include "device/board_link.h"
#include "core/timers.h"
#include "device/simulated_board.h"
#include "support/scans.h"
#include "support/virtual_time.h"

#include "support/printers.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>

namespace kestrum {
namespace {

using Kind = SimulatedBoard::Event::Kind;

std::string repeated(const std::string& part, int times) {
    return times == 0 ? std::string() : part + repeated(part, times - 1);
}

class BoardLinkTest : public ::testing::Test {
protected:
    void shift(std::initializer_list<int> onOutputs) {
        for (int k = 1; k <= 8; ++k) {
            state.Valjundid[k] =
                std::find(onOutputs.begin(), onOutputs.end(), k) != onOutputs.end();
        }
        link.ShiftOutputs();
    }
    // The board's history as letters: O open, F open failed, C close, D/d DTR asserted/released,
    // R/r the same for RTS, S/s a sample read high/low, the character written, L the latch,
    // ! a use of the closed port.
    std::string trace() const {
        static const std::map<Kind, char> letters{{Kind::Open, 'O'},   {Kind::OpenFailed, 'F'},
                                                  {Kind::Close, 'C'},  {Kind::Dtr, 'd'},
                                                  {Kind::Rts, 'r'},    {Kind::Sample, 's'},
                                                  {Kind::Relays, 'L'}, {Kind::ClosedPortUse, '!'}};
        std::string all;
        for (const auto& e : board.history()) {
            const char letter = e.kind == Kind::Character ? e.character : letters.at(e.kind);
            all += e.level ? static_cast<char>(std::toupper(letter)) : letter;
        }
        return all;
    }
    std::vector<qint64> opensAt() const {
        std::vector<qint64> times;
        for (const auto& e : board.history()) {
            if (e.kind == Kind::Open) {
                times.push_back(e.atMs);
            }
        }
        return times;
    }

    testing::VirtualTime time;
    State state;
    Panel panel;
    SimulatedBoard board{time};
    Timers timers{time};
    BoardLink link{state, panel, board, *timers.EventTimer, *timers.Timer3};
};

// Output 8 is clocked in first and output 1 last; DTR stays as the last bit left it until the
// close, and the strobe latches the frame.
TEST_F(BoardLinkTest, AShiftClocksEightBitsThenStrobesAndCloses) {
    shift({1});
    EXPECT_EQ(trace(), "O" + repeated("dRr", 7) + "DRr" + "aLC");
    const std::initializer_list<int> patterns[] = {{8}, {2, 5, 7}, {1, 2, 3, 4, 5, 6, 7, 8}, {}};
    for (const auto& pattern : patterns) {
        shift(pattern);
        for (int k = 1; k <= 8; ++k) {
            EXPECT_EQ(board.relay(k), state.Valjundid[k] == 1) << "output " << k;
        }
    }
    board.clearHistory();
    state.Valjundid[3] = "1";
    state.Valjundid[4] = "x";  // from a hand-edited store
    link.ShiftOutputs();
    EXPECT_EQ(trace(), "O" + repeated("dRr", 4) + "dRrDRr" + repeated("dRr", 2) + "aLC");
}

TEST_F(BoardLinkTest, AShiftClearsTheFailureFlagsOnlyWhenItHappened) {
    for (int k = 1; k <= 8; ++k) {
        state.OutputFailed[k] = 1;
        state.FailureAnnounced[k] = 1;
    }
    board.setPortAvailable(1, false);
    shift({2});
    EXPECT_TRUE(state.OutputFailed[2] == 1) << "a shift that did not happen clears nothing";
    board.setPortAvailable(1, true);
    shift({2});
    for (int k = 1; k <= 8; ++k) {
        EXPECT_TRUE(state.OutputFailed[k] == 0 && state.FailureAnnounced[k] == 0) << k;
    }
}

// The read register holds input 8 first and output 1 last; DTR asserted ends its load.
TEST_F(BoardLinkTest, AScanReadsSixteenSamplesInputEightFirstAndOutputOneLast) {
    board.setInput(8, true);
    shift({1});
    board.clearHistory();
    testing::scanOnce(timers, time);
    EXPECT_EQ(trace(), "ODrSRr" + repeated("sRr", 14) + "SRrdC");
    for (int n = 1; n <= 16; ++n) {
        EXPECT_TRUE(state.ReadBack[n] == (n == 1 || n == 16 ? 1 : 0)) << n;
    }
}

TEST_F(BoardLinkTest, InputsReachTheLampsAndFaultsTheReadBack) {
    board.setInput(2, true);
    board.setInput(8, true);
    board.setFault(4, SimulatedBoard::Fault::StuckOn);
    board.setFault(6, SimulatedBoard::Fault::StuckOff);
    shift({6});
    testing::scanOnce(timers, time);
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(panel.inputs[k - 1].lampLit, k == 2 || k == 8) << "input " << k;
        EXPECT_TRUE(state.ReadBack[k] == (k == 4 ? 1 : 0)) << "output " << k;
    }
    board.setInput(2, false);
    testing::scanOnce(timers, time);
    EXPECT_FALSE(panel.inputs[1].lampLit);
    EXPECT_TRUE(panel.inputs[7].lampLit);

    // Output 1 goes last: the port closes, and opens again, with DTR written asserted. The
    // register must still load what the inputs are at the read, not at the close.
    shift({1});
    board.setInput(3, true);
    testing::scanOnce(timers, time);
    EXPECT_TRUE(panel.inputs[2].lampLit);
}

TEST_F(BoardLinkTest, EachScanStartsAPeriodAfterThePreviousOneEnded) {
    testing::startScanning(timers);
    time.advance(1000);
    EXPECT_EQ(opensAt(), (std::vector<qint64>{100, 210, 320, 430, 540, 650, 760, 870, 980}));
    EXPECT_FALSE(board.portOpen()) << "the port is closed between scans";

    ASSERT_TRUE(board.open());  // a scan finding the port open touches nothing
    board.clearHistory();
    time.advance(100);
    EXPECT_EQ(trace(), "");
    board.close();
    board.clearHistory();
    time.advance(100);
    EXPECT_EQ(opensAt(), std::vector<qint64>{1190});
}

TEST_F(BoardLinkTest, ShiftDuringTheSettleWaitIsWrittenWholeAndTheScanReopens) {
    int evaluations = 0;
    link.setFrameEvaluation([&] {
        ++evaluations;
        EXPECT_TRUE(board.portOpen());
    });
    testing::startScanning(timers);
    time.advance(105);
    ASSERT_TRUE(board.portOpen()) << "settling";
    board.clearHistory();
    shift({3});
    time.advance(5);
    EXPECT_EQ(trace(), repeated("dRr", 5) + "DRr" + repeated("dRr", 2) + "aLC" + "ODrsRr" +
                           repeated("sRr", 12) + "SRr" + repeated("sRr", 2) + "dC");
    EXPECT_TRUE(state.ReadBack[3] == 1);
    EXPECT_EQ(evaluations, 1);
}

TEST_F(BoardLinkTest, PortThatCannotBeOpenedIsShownAndScanningGoesOn) {
    board.setPortAvailable(1, false);
    shift({2});
    EXPECT_EQ(panel.portErrorText,
              "Cannot open simulated board, port 1: the port is not available.");
    int evaluations = 0;
    link.setFrameEvaluation([&] { ++evaluations; });
    testing::startScanning(timers);
    time.advance(250);
    EXPECT_EQ(evaluations, 0);
    EXPECT_EQ(trace().find_first_not_of('F'), std::string::npos);

    board.setPortAvailable(1, true);
    time.advance(100);
    EXPECT_EQ(evaluations, 1);
    EXPECT_TRUE(panel.portErrorText.isEmpty());
}

}  // namespace
}  // namespace kestrum
