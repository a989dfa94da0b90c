// The modem-line calls of the real driver per shift and per scan, counted by the modem-line
// shim on a pseudo-terminal, beside the line changes the wire format needs. On a USB adapter
// each call is a control transfer of its own, made while the board's lines wait.
#include "core/timers.h"
#include "device/board_link.h"
#include "device/qt_serial_port.h"
#include "support/memory_settings_store.h"
#include "support/modem_lines_shim.h"
#include "support/pty_board.h"
#include "support/scans.h"

#include <QCoreApplication>

#include <cstdio>
#include <functional>

using namespace kestrum;

namespace {

constexpr int kRounds = 20;

std::size_t lineChanges() {
    std::size_t changes = 0;
    for (const modem_lines::Record& r : modem_lines::records()) {
        changes += r.event == 'l' ? 1 : 0;
    }
    return changes;
}

void report(const char* what, const std::function<void(int)>& operation) {
    const modem_lines::Calls before = modem_lines::calls();
    const std::size_t changesBefore = lineChanges();
    for (int round = 0; round < kRounds; ++round) {
        operation(round);
    }
    const modem_lines::Calls after = modem_lines::calls();
    std::printf("per %s: %.1f modem-line calls (%.1f reads, %.1f writes), %.1f line changes\n",
                what, double(after.reads + after.writes - before.reads - before.writes) / kRounds,
                double(after.reads - before.reads) / kRounds,
                double(after.writes - before.writes) / kRounds,
                double(lineChanges() - changesBefore) / kRounds);
}

}  // namespace

int main(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    testing::PtyBoard device;
    testing::MemorySettingsStore store;
    store.write(QStringLiteral("Pordid"), QStringLiteral("Port 1"), device.deviceName());
    QtSerialPort port(store);
    testing::VirtualTime time;
    State state;
    Panel panel;
    Timers timers(time);
    BoardLink link(state, panel, port, *timers.EventTimer, *timers.Timer3);

    // Alternating patterns, so that every output's level changes at every shift.
    report("shift", [&](int round) {
        for (int k = 1; k <= 8; ++k) {
            state.Valjundid[k] = (k + round) % 2;
        }
        link.ShiftOutputs();
        device.takeSent();
    });
    report("scan", [&](int) { testing::scanOnce(timers, time); });
    return 0;
}
