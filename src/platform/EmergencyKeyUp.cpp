// Key-up of every watched output from a signal handler.
#include "platform/EmergencyKeyUp.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>

#ifdef __linux__
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace ditlog::emergency {

namespace {
constexpr int kSlots = 16;
constexpr long kWriteWaitNs = 2'000'000;

struct Slot {
    std::atomic<int> fd{-1};
    std::atomic<int> kind{0};
    std::atomic<unsigned char> resting{0};
};

Slot g_slots[kSlots];
std::atomic<bool> g_inhibited{false};
std::atomic<int> g_writes{0};
std::atomic<int> g_notifyFd{-1};
std::atomic<int> g_terminations{0};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the signal handler needs lock-free atomics");

long elapsedNs(const timespec& from) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - from.tv_sec) * 1'000'000'000L + (now.tv_nsec - from.tv_nsec);
}

void keyUp(const Slot& slot) {
#ifdef __linux__
    const int fd = slot.fd.load();
    if (fd < 0) {
        return;
    }
    if (slot.kind.load() == int(Output::Serial)) {
        int bits = TIOCM_DTR | TIOCM_RTS;
        ::ioctl(fd, TIOCMBIC, &bits);
    } else {
        unsigned char value = slot.resting.load();
        ::ioctl(fd, PPWCONTROL, &value);
    }
#else
    (void)slot;
#endif
}

void onTerminate(int signal) {
    const int savedErrno = errno;
    keyEverythingUp();
    const int fd = g_notifyFd.load();
    if (g_terminations.fetch_add(1) > 0 || fd < 0) {
        // Asked twice, or nobody to tell: end now, keyed up.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    } else {
#ifdef __linux__
        const char byte = char(signal);
        [[maybe_unused]] const auto written = ::write(fd, &byte, 1);
#endif
    }
    errno = savedErrno;
}

void onFatal(int signal) {
    keyEverythingUp();
    std::signal(signal, SIG_DFL);
    std::raise(signal); // delivered with its default action once this handler returns
}
} // namespace

int watch(Output kind, int fd, unsigned char restingValue) noexcept {
    if (fd < 0) {
        return -1;
    }
    constexpr int kReserved = -2;
    for (int i = 0; i < kSlots; ++i) {
        Slot& slot = g_slots[i];
        int expected = -1;
        if (slot.fd.compare_exchange_strong(expected, kReserved)) {
            // Kind and value first: a handler that sees the descriptor sees them too.
            slot.kind.store(int(kind));
            slot.resting.store(restingValue);
            slot.fd.store(fd);
            return i;
        }
    }
    return -1;
}

void unwatch(int slot) noexcept {
    if (slot >= 0 && slot < kSlots) {
        g_slots[slot].fd.store(-1);
    }
}

bool keyingInhibited() noexcept { return g_inhibited.load(); }

KeyingWrite::KeyingWrite(bool& down) noexcept {
    g_writes.fetch_add(1);
    if (g_inhibited.load()) {
        down = false;
    }
}

KeyingWrite::~KeyingWrite() { g_writes.fetch_sub(1); }

void keyEverythingUp() noexcept {
    g_inhibited.store(true);
    // A write that began before the flag was set may still key down: let it finish
    // (it takes microseconds), unless it was this very thread the signal interrupted.
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    while (g_writes.load() > 0 && elapsedNs(start) < kWriteWaitNs) {
    }
    for (const Slot& slot : g_slots) {
        keyUp(slot);
    }
}

void installSignalHandlers(int notifyFd) {
    g_notifyFd.store(notifyFd);
    struct sigaction terminate{};
    terminate.sa_handler = onTerminate;
    sigemptyset(&terminate.sa_mask);
    terminate.sa_flags = SA_RESTART;
    for (const int s : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(s, &terminate, nullptr);
    }
    struct sigaction fatal{};
    fatal.sa_handler = onFatal;
    sigemptyset(&fatal.sa_mask);
    fatal.sa_flags = SA_RESETHAND;
    for (const int s : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL}) {
        sigaction(s, &fatal, nullptr);
    }
}

} // namespace ditlog::emergency
