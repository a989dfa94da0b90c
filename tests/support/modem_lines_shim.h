#pragma once

#include <cstddef>
#include <vector>

// The switch box on a pseudo-terminal, for running the real serial driver without hardware. A
// pty has no modem lines (their ioctls fail with ENOTTY), so the test program links this library
// ahead of the C library: its ioctl, open64 and close answer the modem lines of one device as the
// board would and pass everything else on.
//
// The board: opening the device raises DTR and RTS, as the kernel does on a serial port, and
// closing its last descriptor releases both. The read register loads while DTR is released and
// shifts on each rising edge of RTS while DTR is asserted; CD shows its first level. The strobe
// character is not modelled here: it arrives at the master side of the pty.
namespace kestrum::modem_lines {

// One change of the lines: 'o' (an open: the kernel raised both), 'c' (the last descriptor closed
// and released both) or 'l' (the program set them).
struct Record {
    char event = 'l';
    bool dtr = false;
    bool rts = false;
    bool operator==(const Record&) const = default;
};

// The modem-line calls made on the device since attach: reads of the lines and writes, whether
// or not a write changed a level.
struct Calls {
    std::size_t reads = 0;
    std::size_t writes = 0;
};

// The device the board hangs on. A symlink is followed at each call, so pointing it at another
// pty moves the board there and a dangling one unplugs it. Forgets the records and the levels.
void attach(const char* devicePath);
// The 16 levels the read register loads, in the order they are shifted out; missing ones low.
void setReadRegister(const std::vector<bool>& levels);
std::vector<Record> records();
Calls calls();

}  // namespace kestrum::modem_lines
