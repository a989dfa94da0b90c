#include "core/timers.h"
#include "device/board_link.h"
#include "device/qt_serial_port.h"
#include "device/simulated_board.h"
#include "support/bare_terminal.h"
#include "support/captured_warnings.h"
#include "support/memory_settings_store.h"
#include "support/modem_lines_shim.h"
#include "support/program_on_doubles.h"
#include "support/pty_board.h"
#include "support/scans.h"
#include "support/virtual_time.h"

#include "support/printers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

namespace kestrum {
namespace modem_lines {

void PrintTo(const Record& record, std::ostream* out) {
    *out << record.event << " DTR " << record.dtr << " RTS " << record.rts;
}

}  // namespace modem_lines
namespace {

using testing::PtyBoard;
using Record = modem_lines::Record;
using Event = SimulatedBoard::Event;

// BoardLink on a port, with its own state, panel and virtual time.
struct Engine {
    explicit Engine(SerialPort& port)
        : link(state, panel, port, *timers.EventTimer, *timers.Timer3) {}

    void shift(std::initializer_list<int> onOutputs) {
        for (int k = 1; k <= 8; ++k) {
            state.Valjundid[k] = 0;
        }
        for (const int k : onOutputs) {
            state.Valjundid[k] = 1;
        }
        link.ShiftOutputs();
    }
    void scan() { testing::scanOnce(timers, time); }

    testing::VirtualTime time;
    State state;
    Panel panel;
    Timers timers{time};
    BoardLink link;
};

// The records the shim makes for the lines the simulator saw. Opening raises both lines (the
// kernel's doing); the driver releases both and then drives the levels last written, each DTR
// first, so the board sees them arrive from released as the simulator's lines do. Closing
// releases both.
std::vector<Record> wireOf(const std::deque<Event>& history) {
    std::vector<Record> wire;
    Record now{'c', false, false};
    bool dtrWritten = false;
    bool rtsWritten = false;
    const auto drive = [&](bool dtr, bool rts) {
        if (dtr != now.dtr || rts != now.rts) {
            wire.push_back(now = {'l', dtr, rts});
        }
    };
    for (const Event& e : history) {
        switch (e.kind) {
            case Event::Kind::Open:
                wire.push_back(now = {'o', true, true});
                drive(false, true);
                drive(false, false);
                drive(dtrWritten, false);
                drive(dtrWritten, rtsWritten);
                break;
            case Event::Kind::Close:
                wire.push_back(now = {'c', false, false});
                break;
            case Event::Kind::Dtr:
                dtrWritten = e.level;
                drive(e.level, now.rts);
                break;
            case Event::Kind::Rts:
                rtsWritten = e.level;
                drive(now.dtr, e.level);
                break;
            default:
                break;
        }
    }
    return wire;
}

// The levels the simulator shifted out in its latest scan, in the order read.
std::vector<bool> levelsOfLatestScan(const std::deque<Event>& history) {
    std::vector<bool> levels;
    for (const Event& e : history) {
        if (e.kind == Event::Kind::Open) {
            levels.clear();
        } else if (e.kind == Event::Kind::Sample) {
            levels.push_back(e.level);
        }
    }
    return levels;
}

std::string charactersOf(const std::deque<Event>& history) {
    std::string characters;
    for (const Event& e : history) {
        if (e.kind == Event::Kind::Character) {
            characters += e.character;
        }
    }
    return characters;
}

class QtSerialPortOnPtyTest : public ::testing::Test {
protected:
    void SetUp() override { store.write("Pordid", "Port 1", device.deviceName()); }

    PtyBoard device;
    testing::MemorySettingsStore store;
    QtSerialPort port{store};
};

TEST_F(QtSerialPortOnPtyTest, ShiftsAndScansDrawTheSimulatorsLines) {
    testing::VirtualTime boardClock;
    SimulatedBoard board{boardClock};
    board.setInput(8, true);
    board.setInput(3, true);
    board.setFault(2, SimulatedBoard::Fault::StuckOn);
    Engine simulated{board};
    Engine real{port};
    // Output 1 goes last, so the first shift leaves DTR written asserted for the next open.
    const std::initializer_list<int> wanted[] = {{1, 4, 8}, {}, {2, 6}};
    for (const auto& outputs : wanted) {
        simulated.shift(outputs);
        real.shift(outputs);
        simulated.scan();
        device.setReadRegister(levelsOfLatestScan(board.history()));
        real.scan();
        for (int n = 1; n <= 16; ++n) {
            EXPECT_TRUE(real.state.ReadBack[n] == simulated.state.ReadBack[n]) << "level " << n;
        }
    }
    // Every open, line change and close as the board saw it, from the kernel's raise at the
    // first open on; the strobes left before each close, with no event loop run.
    const std::vector<Record> records = modem_lines::records();
    EXPECT_EQ(records, wireOf(board.history()));
    EXPECT_EQ(device.takeSent().toStdString(), charactersOf(board.history()));
    // On a USB adapter each call is a transfer of its own: a write for each change of a line,
    // a read for each level read back and one at each open, nothing more.
    const auto count = [&](char event) {
        return std::size_t(std::count_if(records.begin(), records.end(),
                                         [&](const Record& r) { return r.event == event; }));
    };
    EXPECT_EQ(modem_lines::calls().writes, count('l'));
    EXPECT_EQ(modem_lines::calls().reads, std::size(wanted) * 16 + count('o'));
}

// A pulled-out adapter: the scan that reads it closes it, the error stays on the port label
// (warned once) until the adapter is back, and a strobe written into the vanished device must
// not reach the new one, where after a scan's clock pulses it would latch every relay on.
TEST_F(QtSerialPortOnPtyTest, VanishedDeviceIsAPortErrorUntilItIsBack) {
    testing::CapturedWarnings warnings;
    Engine real{port};
    testing::startScanning(real.timers);
    real.time.advance(BoardLink::kScanPeriodMs + 5);
    ASSERT_TRUE(port.portOpen()) << "the scan waits for the board to settle";
    device.unplug();
    real.shift({5});  // a click just then
    EXPECT_FALSE(port.portOpen());
    real.time.advance(BoardLink::kScanPeriodMs + 5);
    EXPECT_FALSE(port.portOpen());
    EXPECT_FALSE(port.lastOpenError().reason.isEmpty());
    EXPECT_TRUE(real.panel.portErrorText.contains(device.deviceName()));
    real.shift({5});
    real.time.advance(BoardLink::kScanPeriodMs);
    EXPECT_EQ(warnings.containing(device.deviceName()).size(), 1);

    device.plugIn();
    device.setReadRegister({true});
    real.time.advance(BoardLink::kScanPeriodMs + BoardLink::kSettleWaitMs);
    EXPECT_TRUE(real.panel.portErrorText.isEmpty());
    EXPECT_TRUE(real.state.ReadBack[16] == 1) << "the board is read again";
    EXPECT_FALSE(port.portOpen());
    EXPECT_EQ(device.takeSent().toStdString(), "");
    real.shift({5});
    EXPECT_EQ(device.takeSent().toStdString(), "a");
}

// A USB adapter named for port 1 and not plugged in at the first start keeps port 1, although
// port 2 would open: another number is another device. The scans take it once plugged in, as
// they take back one pulled out while the program runs.
TEST(NamedDeviceTest, AnAbsentNamedDeviceKeepsItsPort) {
    PtyBoard adapter;
    adapter.unplug();
    const testing::BareTerminal portTwo;
    testing::ProgramOnDoubles setup;
    QtSerialPort port(setup.memory);
    setup.port = &port;
    setup.set("Pordid", "Port 1", adapter.deviceName());
    setup.set("Pordid", "Port 2", portTwo.deviceName());
    Program& program = setup.start();
    EXPECT_EQ(setup.seaded("Järjestikport"), "1");
    EXPECT_EQ(program.panel().portLabel, "1");
    EXPECT_TRUE(program.panel().portErrorText.contains(adapter.deviceName()));
    program.outputs().ComOFF_Click();  // all-off has no stand-in for it either
    EXPECT_EQ(port.commPort(), 1);
}

}  // namespace
}  // namespace kestrum
