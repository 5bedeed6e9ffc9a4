// What a dying process still does for the transmitter. A serial port's DTR and RTS fall
// when the kernel closes its descriptor (HUPCL), but a parallel port's control register
// keeps whatever was written last, so a program killed mid-element could leave the key
// down. The outputs that can key register their descriptors here; on a terminating or
// fatal signal every registered output is set key-up with async-signal-safe calls only.
//
// A signal handler can reach nothing but static storage, so this one module keeps
// process-wide state: the registered descriptors, a flag that forbids any further
// key-down, and a count of level writes under way. The real outputs wrap each write in a
// KeyingWrite; the handler sets the flag, waits (briefly, bounded) for writes under way
// to finish, then keys everything up, so no key-down can land after its key-up.
#pragma once

namespace ditlog::emergency {

enum class Output { Serial, Parallel };

// Registers an output; returns its slot (or -1 when all slots are taken). Serial: DTR
// and RTS of the descriptor go down; Parallel: the control register gets restingValue.
int watch(Output kind, int fd, unsigned char restingValue = 0) noexcept;
void unwatch(int slot) noexcept;

// True once a terminating or fatal signal arrived: from then on nothing keys down.
bool keyingInhibited() noexcept;

// Marks one level write of a real output; down becomes false once keying is inhibited.
class KeyingWrite {
public:
    explicit KeyingWrite(bool& down) noexcept;
    ~KeyingWrite();
    KeyingWrite(const KeyingWrite&) = delete;
    KeyingWrite& operator=(const KeyingWrite&) = delete;
};

// Forbids key-down, waits up to about 2 ms for writes under way, and keys every watched
// output up. Async-signal-safe.
void keyEverythingUp() noexcept;

// SIGTERM, SIGINT and SIGHUP: everything keyed up, then the signal's number (one byte) is written to
// notifyFd so the program can end its send and quit in order (a second such signal ends
// the process at once). SIGSEGV, SIGBUS, SIGABRT, SIGFPE and SIGILL: everything keyed
// up, then the signal is raised again with its default action.
void installSignalHandlers(int notifyFd);

} // namespace ditlog::emergency
