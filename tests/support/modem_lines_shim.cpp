#include "modem_lines_shim.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>

namespace {

using IoctlFunction = int (*)(int, unsigned long, ...);
using OpenFunction = int (*)(const char*, int, ...);
using CloseFunction = int (*)(int);

template <typename Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

int realClose(int fd) {
    static const auto function = next<CloseFunction>("close");
    return function(fd);
}

// Descriptors on a board device, with the device each was opened on: the board may move to a
// new pty while a descriptor of the old one is still open. Trivially destructible, so that
// closes during the process's exit still find it.
struct Descriptor {
    int fd = -1;
    dev_t device = 0;
};
constexpr std::size_t kDescriptorSlots = 64;
constexpr std::size_t kRecordSlots = 4096;

// Plain arrays throughout, for the same reason.
struct Board {
    std::array<Descriptor, kDescriptorSlots> descriptors;
    std::array<char, 4096> devicePath{};
    bool dtr = false;
    bool rts = false;
    std::array<bool, 16> loadLevels{};
    std::array<bool, 16> readRegister{};
    std::array<kestrum::modem_lines::Record, kRecordSlots> records{};
    std::size_t recordCount = 0;
    std::size_t opens = 0;
    kestrum::modem_lines::Calls calls;
};

std::mutex boardMutex;
Board board;
using BoardLock = std::lock_guard<std::mutex>;

// The device the descriptor is open on, when that is the one the board hangs on now.
std::optional<dev_t> boardDeviceOf(int fd) {
    struct stat opened {};
    if (fstat(fd, &opened) != 0 || !S_ISCHR(opened.st_mode)) {
        return std::nullopt;
    }
    struct stat named {};
    if (stat(board.devicePath.data(), &named) != 0 || named.st_rdev != opened.st_rdev) {
        return std::nullopt;
    }
    return opened.st_rdev;
}

void record(char event) {
    if (board.recordCount < board.records.size()) {
        board.records[board.recordCount++] = {event, board.dtr, board.rts};
    }
}

void driveLines(bool dtr, bool rts) {
    if (dtr && !board.dtr) {
        board.readRegister = board.loadLevels;  // asserting DTR ends the parallel load
    }
    const bool risingClock = rts && !board.rts;
    board.dtr = dtr;
    board.rts = rts;
    if (risingClock && dtr) {
        for (std::size_t i = 0; i + 1 < board.readRegister.size(); ++i) {
            board.readRegister[i] = board.readRegister[i + 1];
        }
        board.readRegister.back() = false;
    }
}

int openDescriptorsOn(dev_t device) {
    int count = 0;
    for (const Descriptor& d : board.descriptors) {
        count += d.fd >= 0 && d.device == device ? 1 : 0;
    }
    return count;
}

void watchOpened(int fd) {
    const std::optional<dev_t> device = fd < 0 ? std::nullopt : boardDeviceOf(fd);
    if (!device) {
        return;
    }
    const BoardLock lock(boardMutex);
    const bool first = openDescriptorsOn(*device) == 0;
    for (Descriptor& d : board.descriptors) {
        if (d.fd < 0) {
            d = Descriptor{fd, *device};
            break;
        }
    }
    if (first) {
        ++board.opens;
        driveLines(true, true);
        record('o');
    }
}

void watchClosed(int fd) {
    const BoardLock lock(boardMutex);
    for (Descriptor& d : board.descriptors) {
        if (d.fd == fd) {
            d.fd = -1;
            if (openDescriptorsOn(d.device) == 0) {
                driveLines(false, false);
                record('c');
            }
            return;
        }
    }
}

int answer(unsigned long request, int* bits) {
    const BoardLock lock(boardMutex);
    ++(request == TIOCMGET ? board.calls.reads : board.calls.writes);
    const int now = (board.dtr ? TIOCM_DTR : 0) | (board.rts ? TIOCM_RTS : 0);
    if (request == TIOCMGET) {
        const bool cd = board.dtr ? board.readRegister.front() : board.loadLevels.front();
        *bits = now | (cd ? TIOCM_CAR : 0);
        return 0;
    }
    const int lines = request == TIOCMBIS   ? now | *bits
                      : request == TIOCMBIC ? now & ~*bits
                                            : *bits;  // TIOCMSET
    const bool newDtr = (lines & TIOCM_DTR) != 0;
    const bool newRts = (lines & TIOCM_RTS) != 0;
    if (newDtr != board.dtr || newRts != board.rts) {
        driveLines(newDtr, newRts);
        record('l');
    }
    return 0;
}

// A program run outside a test (the benchmarks run the application itself with the shim
// preloaded) names the device and where the counts and the line changes go in the environment.
__attribute__((constructor)) void attachFromEnvironment() {
    if (const char* device = std::getenv("KESTRUM_MODEM_LINES_DEVICE")) {
        kestrum::modem_lines::attach(device);
    }
}

// Only a process that opened the board reports: a wrapper such as timeout(1) inherits the
// environment too, and ends last.
__attribute__((destructor)) void reportToEnvironment() {
    const BoardLock lock(boardMutex);
    const char* path = std::getenv("KESTRUM_MODEM_LINES_REPORT");
    std::FILE* file = path != nullptr && board.opens > 0 ? std::fopen(path, "w") : nullptr;
    if (file == nullptr) {
        return;
    }
    std::fprintf(file, "opens %zu\nreads %zu\nwrites %zu\n", board.opens, board.calls.reads,
                 board.calls.writes);
    for (std::size_t i = 0; i < board.recordCount; ++i) {
        const kestrum::modem_lines::Record& r = board.records[i];
        std::fprintf(file, "%c %d %d\n", r.event, r.dtr ? 1 : 0, r.rts ? 1 : 0);
    }
    std::fclose(file);
}

}  // namespace

namespace kestrum::modem_lines {

void attach(const char* devicePath) {
    const BoardLock lock(boardMutex);
    std::strncpy(board.devicePath.data(), devicePath, board.devicePath.size() - 1);
    board.loadLevels = {};
    board.recordCount = 0;
    board.opens = 0;
    board.calls = {};
}

void setReadRegister(const std::vector<bool>& levels) {
    const BoardLock lock(boardMutex);
    board.loadLevels = {};
    std::copy_n(levels.begin(), std::min(levels.size(), board.loadLevels.size()),
                board.loadLevels.begin());
}

std::vector<Record> records() {
    const BoardLock lock(boardMutex);
    return {board.records.begin(), board.records.begin() + long(board.recordCount)};
}

Calls calls() {
    const BoardLock lock(boardMutex);
    return board.calls;
}

}  // namespace kestrum::modem_lines

extern "C" {

int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    const bool modemLines =
        request == TIOCMGET || request == TIOCMBIS || request == TIOCMBIC || request == TIOCMSET;
    if (modemLines && argument != nullptr && boardDeviceOf(fd)) {
        return answer(request, static_cast<int*>(argument));
    }
    static const auto function = next<IoctlFunction>("ioctl");
    return function(fd, request, argument);
}

// The name Qt's libraries call.
int open64(const char* path, int flags, ...) {
    static const auto function = next<OpenFunction>("open64");
    va_list arguments;
    va_start(arguments, flags);
    const bool modeGiven = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    const mode_t mode = modeGiven ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
    va_end(arguments);
    const int fd = function(path, flags, mode);
    watchOpened(fd);
    return fd;
}

// Forgotten before the real close: another thread may get the same number back at once.
int close(int fd) {
    watchClosed(fd);
    return realClose(fd);
}
}
