#include "device/board_link.h"
#include "core/timers.h"
#include "device/simulated_board.h"
#include "support/scans.h"
#include "support/virtual_time.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

using Kind = SimulatedBoard::Event::Kind;

class BoardLinkTest : public ::testing::Test {
protected:
    void setWanted(std::initializer_list<int> onOutputs) {
        for (int k = 1; k <= 8; ++k) {
            state.Valjundid[k] = 0;
        }
        for (int k : onOutputs) {
            state.Valjundid[k] = 1;
        }
    }
    // The DTR level at each rising clock edge, in the order sent.
    std::vector<bool> bitsClocked() const {
        std::vector<bool> bits;
        bool dtr = false;
        for (const auto& e : board.history()) {
            if (e.kind == Kind::Dtr) {
                dtr = e.level;
            } else if (e.kind == Kind::Rts && e.level) {
                bits.push_back(dtr);
            }
        }
        return bits;
    }
    std::vector<bool> samples() const {
        std::vector<bool> levels;
        for (const auto& e : board.history()) {
            if (e.kind == Kind::Sample) {
                levels.push_back(e.level);
            }
        }
        return levels;
    }
    std::vector<Kind> kinds() const {
        std::vector<Kind> all;
        for (const auto& e : board.history()) {
            all.push_back(e.kind);
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
    int count(Kind kind) const {
        const std::vector<Kind> all = kinds();
        return static_cast<int>(std::count(all.begin(), all.end(), kind));
    }
    void startScanning() { testing::startScanning(timers); }
    void scanOnce() { testing::scanOnce(timers, time); }

    testing::VirtualTime time;
    State state;
    Panel panel;
    SimulatedBoard board{time};
    Timers timers{time};
    BoardLink link{state, panel, board, *timers.EventTimer, *timers.Timer3};
};

TEST_F(BoardLinkTest, AllOffIsEightPulsesWithDataReleasedThenTheStrobe) {
    setWanted({});
    link.ShiftOutputs();
    EXPECT_EQ(bitsClocked(), std::vector<bool>(8, false));
    std::vector<Kind> expected{Kind::Open};
    for (int i = 0; i < 8; ++i) {
        expected.insert(expected.end(), {Kind::Dtr, Kind::Rts, Kind::Rts});
    }
    expected.insert(expected.end(), {Kind::Character, Kind::Relays, Kind::Close});
    EXPECT_EQ(kinds(), expected);
    EXPECT_EQ(board.history()[board.history().size() - 3].character, 'a');
}

TEST_F(BoardLinkTest, OutputOneIsTheLastBitAndDataStaysAssertedUntilClose) {
    setWanted({1});
    link.ShiftOutputs();
    EXPECT_EQ(bitsClocked(),
              (std::vector<bool>{false, false, false, false, false, false, false, true}));
    const auto& history = board.history();
    auto lastDtr = std::find_if(history.rbegin(), history.rend(),
                                [](const auto& e) { return e.kind == Kind::Dtr; });
    ASSERT_NE(lastDtr, history.rend());
    EXPECT_TRUE(lastDtr->level);
    EXPECT_TRUE(board.relay(1));
    for (int k = 2; k <= 8; ++k) {
        EXPECT_FALSE(board.relay(k)) << k;
    }
}

TEST_F(BoardLinkTest, RelaysFollowEveryShift) {
    const std::initializer_list<int> patterns[] = {{8}, {2, 5, 7}, {1, 2, 3, 4, 5, 6, 7, 8}, {}};
    for (const auto& pattern : patterns) {
        setWanted(pattern);
        link.ShiftOutputs();
        for (int k = 1; k <= 8; ++k) {
            EXPECT_EQ(board.relay(k), state.Valjundid[k] == 1) << "output " << k;
        }
    }
    EXPECT_EQ(count(Kind::ClosedPortUse), 0);
}

TEST_F(BoardLinkTest, StoredTextsShiftByTheirValue) {
    state.Valjundid[3] = "1";
    state.Valjundid[4] = "x";  // from a hand-edited store
    link.ShiftOutputs();
    EXPECT_TRUE(board.relay(3));
    EXPECT_FALSE(board.relay(4));
}

TEST_F(BoardLinkTest, EveryShiftClearsEveryFailureFlag) {
    for (int k = 1; k <= 8; ++k) {
        state.OutputFailed[k] = 1;
        state.FailureAnnounced[k] = 1;
    }
    link.ShiftOutputs();
    for (int k = 1; k <= 8; ++k) {
        EXPECT_TRUE(state.OutputFailed[k] == 0);
        EXPECT_TRUE(state.FailureAnnounced[k] == 0);
    }
}

TEST_F(BoardLinkTest, ReadIsSixteenSamplesEachFollowedByAPulse) {
    scanOnce();
    std::vector<Kind> expected{Kind::Open, Kind::Dtr, Kind::Rts};
    for (int i = 0; i < 16; ++i) {
        expected.insert(expected.end(), {Kind::Sample, Kind::Rts, Kind::Rts});
    }
    expected.insert(expected.end(), {Kind::Dtr, Kind::Close});
    EXPECT_EQ(kinds(), expected);
    EXPECT_TRUE(board.history()[1].level) << "DTR is held asserted during the read";
}

TEST_F(BoardLinkTest, FirstSampleIsInputEightAndLastIsOutputOne) {
    board.setInput(8, true);
    scanOnce();
    std::vector<bool> expected(16, false);
    expected.front() = true;
    EXPECT_EQ(samples(), expected);
    for (int n = 1; n <= 16; ++n) {
        EXPECT_TRUE(state.ReadBack[n] == (n == 16 ? 1 : 0)) << n;
    }

    board.setInput(8, false);
    setWanted({1});
    link.ShiftOutputs();
    board.clearHistory();
    scanOnce();
    expected = std::vector<bool>(16, false);
    expected.back() = true;
    EXPECT_EQ(samples(), expected);
    EXPECT_TRUE(state.ReadBack[1] == 1);
    EXPECT_TRUE(state.ReadBack[16] == 0);
}

TEST_F(BoardLinkTest, InputsReachTheLampsAndFaultsTheReadBack) {
    board.setInput(2, true);
    board.setInput(7, true);
    board.setFault(4, SimulatedBoard::Fault::StuckOn);
    setWanted({6});
    board.setFault(6, SimulatedBoard::Fault::StuckOff);
    link.ShiftOutputs();
    scanOnce();
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(panel.inputs[k - 1].lampLit, k == 2 || k == 7) << "input " << k;
        EXPECT_TRUE(state.ReadBack[k + 8] == (k == 2 || k == 7 ? 1 : 0)) << "input " << k;
        EXPECT_TRUE(state.ReadBack[k] == (k == 4 ? 1 : 0)) << "output " << k;
    }
    board.setInput(2, false);
    scanOnce();
    EXPECT_FALSE(panel.inputs[1].lampLit);
    EXPECT_TRUE(panel.inputs[6].lampLit);
}

TEST_F(BoardLinkTest, EachScanStartsAPeriodAfterThePreviousOneEnded) {
    startScanning();
    time.advance(1000);
    const std::vector<qint64> expected{100, 210, 320, 430, 540, 650, 760, 870, 980};
    EXPECT_EQ(opensAt(), expected);
    EXPECT_FALSE(board.portOpen()) << "the port is closed between scans";
}

TEST_F(BoardLinkTest, ScanFindingThePortOpenTouchesNothing) {
    startScanning();
    ASSERT_TRUE(board.open());
    board.clearHistory();
    time.advance(100);
    EXPECT_TRUE(board.history().empty());
    EXPECT_TRUE(board.portOpen());
    EXPECT_TRUE(timers.EventTimer->isEnabled());
    board.close();
    board.clearHistory();
    time.advance(99);
    EXPECT_TRUE(board.history().empty());
    time.advance(1);
    EXPECT_EQ(opensAt(), std::vector<qint64>{200});
}

TEST_F(BoardLinkTest, ShiftDuringTheSettleWaitIsWrittenWholeAndTheScanReopens) {
    int evaluations = 0;
    link.setFrameEvaluation([&] {
        ++evaluations;
        EXPECT_TRUE(board.portOpen());
    });
    startScanning();
    time.advance(105);
    ASSERT_TRUE(board.portOpen()) << "settling";
    board.clearHistory();
    setWanted({3});
    link.ShiftOutputs();
    EXPECT_EQ(bitsClocked().size(), 8U);
    EXPECT_EQ(count(Kind::Character), 1);
    EXPECT_EQ(kinds().back(), Kind::Close);
    EXPECT_TRUE(board.relay(3));

    time.advance(5);
    EXPECT_EQ(count(Kind::ClosedPortUse), 0);
    EXPECT_EQ(count(Kind::Open), 1) << "the scan reopened the port before reading";
    EXPECT_EQ(samples().size(), 16U);
    EXPECT_TRUE(state.ReadBack[3] == 1);
    EXPECT_EQ(evaluations, 1);
    EXPECT_FALSE(board.portOpen());
}

TEST_F(BoardLinkTest, HistoryKeepsTheLatestEventsUpToItsLimit) {
    startScanning();
    time.advance(30000);  // well over the limit: about fifty events a scan
    timers.EventTimer->setEnabled(false);
    setWanted({5});
    link.ShiftOutputs();
    const auto& history = board.history();
    ASSERT_EQ(history.size(), SimulatedBoard::kHistoryLimit);
    EXPECT_EQ(history.back().kind, Kind::Close);
    EXPECT_EQ(history[history.size() - 2].relays, 0x10) << "the shift just made is the newest";
    EXPECT_GT(history.front().atMs, 10000) << "the oldest events went first";
}

TEST_F(BoardLinkTest, PortThatCannotBeOpenedSkipsAndShowsIt) {
    board.setPortAvailable(1, false);
    state.OutputFailed[2] = 1;
    setWanted({2});
    link.ShiftOutputs();
    EXPECT_TRUE(bitsClocked().empty());
    EXPECT_TRUE(state.OutputFailed[2] == 1) << "a shift that did not happen clears nothing";
    EXPECT_TRUE(panel.portErrorText.contains(QStringLiteral("simulated board, port 1")));
    EXPECT_TRUE(panel.portErrorText.contains(QStringLiteral("the port is not available")));

    int evaluations = 0;
    link.setFrameEvaluation([&] { ++evaluations; });
    startScanning();
    time.advance(250);
    EXPECT_EQ(evaluations, 0);
    EXPECT_EQ(count(Kind::ClosedPortUse), 0);
    EXPECT_TRUE(timers.EventTimer->isEnabled()) << "scanning goes on";

    board.setPortAvailable(1, true);
    time.advance(100);
    EXPECT_EQ(evaluations, 1);
    EXPECT_TRUE(panel.portErrorText.isEmpty());
}

}  // namespace
}  // namespace kestrum
