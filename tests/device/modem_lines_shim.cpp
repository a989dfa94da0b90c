// The switch box on a pseudo-terminal, for running the real serial driver without hardware.
// A pty has no modem lines (their ioctls fail with ENOTTY), so this library, preloaded with
// LD_PRELOAD, answers them for one device as the board would. Environment, read at each call:
//   KESTRUM_SHIM_PTY             the device the board hangs on; a symlink is followed each
//                                time, so pointing it at another pty moves the board there and
//                                a dangling one unplugs it
//   KESTRUM_SHIM_LOG             file that gets one line per change of the lines:
//                                "<sequence> open|close|lines <DTR> <RTS>", levels as 0 or 1
//   KESTRUM_SHIM_READ_REGISTER   file with the 16 levels the read register loads, as '0' and
//                                '1' in the order they are shifted out; missing reads all 0
// The board: opening the device (through open or open64, as Qt does) raises DTR and RTS, as the
// kernel does on a serial port, and closing its last descriptor releases both. The read
// register loads while DTR is released and shifts on each rising edge of RTS while DTR is
// asserted; CD shows its first level. The strobe character is not modelled here: it arrives at
// the master side of the pty.

#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
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

OpenFunction nextOpen64() {
    static const auto function = next<OpenFunction>("open64");
    return function;
}

// The shim's own files are opened past the watch.
int realOpen(const char* path, int flags, mode_t mode = 0) {
    return nextOpen64()(path, flags, mode);
}

// Descriptors on a board device, with the device each was opened on: the board may move to a
// new pty while a descriptor of the old one is still open. Trivially destructible, so that
// closes during the process's exit still find it.
struct Descriptor {
    int fd = -1;
    dev_t device = 0;
};
constexpr std::size_t kDescriptorSlots = 64;

struct Board {
    std::array<Descriptor, kDescriptorSlots> descriptors;
    bool dtr = false;
    bool rts = false;
    std::array<bool, 16> readRegister{};
    unsigned long sequence = 0;
};

pthread_mutex_t boardMutex = PTHREAD_MUTEX_INITIALIZER;
Board board;

class BoardLock {
public:
    BoardLock() { pthread_mutex_lock(&boardMutex); }
    ~BoardLock() { pthread_mutex_unlock(&boardMutex); }
    BoardLock(const BoardLock&) = delete;
    BoardLock& operator=(const BoardLock&) = delete;
};

// The device the descriptor is open on, when that is the one the board hangs on now.
std::optional<dev_t> boardDeviceOf(int fd) {
    struct stat opened {};
    if (fstat(fd, &opened) != 0 || !S_ISCHR(opened.st_mode)) {
        return std::nullopt;
    }
    const char* path = std::getenv("KESTRUM_SHIM_PTY");
    struct stat named {};
    if (path == nullptr || stat(path, &named) != 0 || named.st_rdev != opened.st_rdev) {
        return std::nullopt;
    }
    return opened.st_rdev;
}

void record(const char* event) {
    const char* path = std::getenv("KESTRUM_SHIM_LOG");
    ++board.sequence;
    if (path == nullptr) {
        return;
    }
    std::array<char, 64> line{};
    const int length = std::snprintf(line.data(), line.size(), "%lu %s %d %d\n", board.sequence,
                                     event, board.dtr ? 1 : 0, board.rts ? 1 : 0);
    const int fd = realOpen(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = write(fd, line.data(), std::size_t(length));
        realClose(fd);
    }
}

std::array<bool, 16> loadedLevels() {
    std::array<bool, 16> levels{};
    std::array<char, 16> text{};
    const char* path = std::getenv("KESTRUM_SHIM_READ_REGISTER");
    const int fd = path == nullptr ? -1 : realOpen(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return levels;
    }
    const ssize_t length = read(fd, text.data(), text.size());
    realClose(fd);
    for (ssize_t i = 0; i < length; ++i) {
        levels[std::size_t(i)] = text[std::size_t(i)] == '1';
    }
    return levels;
}

void driveLines(bool dtr, bool rts) {
    if (dtr && !board.dtr) {
        board.readRegister = loadedLevels();  // asserting DTR ends the parallel load
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
    const BoardLock lock;
    const bool first = openDescriptorsOn(*device) == 0;
    for (Descriptor& d : board.descriptors) {
        if (d.fd < 0) {
            d = Descriptor{fd, *device};
            break;
        }
    }
    if (first) {
        driveLines(true, true);
        record("open");
    }
}

void watchClosed(int fd) {
    const BoardLock lock;
    for (Descriptor& d : board.descriptors) {
        if (d.fd == fd) {
            d.fd = -1;
            if (openDescriptorsOn(d.device) == 0) {
                driveLines(false, false);
                record("close");
            }
            return;
        }
    }
}

int answer(unsigned long request, int* bits) {
    const BoardLock lock;
    if (request == TIOCMGET) {
        const bool cd = board.dtr ? board.readRegister.front() : loadedLevels().front();
        *bits = (board.dtr ? TIOCM_DTR : 0) | (board.rts ? TIOCM_RTS : 0) | (cd ? TIOCM_CAR : 0);
        return 0;
    }
    const bool dtr = (*bits & TIOCM_DTR) != 0;
    const bool rts = (*bits & TIOCM_RTS) != 0;
    bool newDtr = dtr;  // TIOCMSET
    bool newRts = rts;
    if (request == TIOCMBIS) {
        newDtr = board.dtr || dtr;
        newRts = board.rts || rts;
    } else if (request == TIOCMBIC) {
        newDtr = board.dtr && !dtr;
        newRts = board.rts && !rts;
    }
    if (newDtr != board.dtr || newRts != board.rts) {
        driveLines(newDtr, newRts);
        record("lines");
    }
    return 0;
}

int openWatched(OpenFunction function, const char* path, int flags, va_list arguments) {
    const bool modeGiven = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    const mode_t mode = modeGiven ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
    const int fd = function(path, flags, mode);
    watchOpened(fd);
    return fd;
}

bool modemRequest(unsigned long request) {
    return request == TIOCMGET || request == TIOCMBIS || request == TIOCMBIC || request == TIOCMSET;
}

}  // namespace

extern "C" {

// Lets a test find out that it runs with the shim preloaded.
void kestrum_modem_lines_shim() {}

int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (modemRequest(request) && argument != nullptr && boardDeviceOf(fd)) {
        return answer(request, static_cast<int*>(argument));
    }
    static const auto function = next<IoctlFunction>("ioctl");
    return function(fd, request, argument);
}

int open(const char* path, int flags, ...) {
    static const auto function = next<OpenFunction>("open");
    va_list arguments;
    va_start(arguments, flags);
    const int fd = openWatched(function, path, flags, arguments);
    va_end(arguments);
    return fd;
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const int fd = openWatched(nextOpen64(), path, flags, arguments);
    va_end(arguments);
    return fd;
}

// Forgotten before the real close: another thread may get the same number back at once.
int close(int fd) {
    watchClosed(fd);
    return realClose(fd);
}
}
