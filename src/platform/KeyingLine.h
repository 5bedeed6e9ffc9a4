// A keying output: the one bit that keys the transmitter (CW key or push-to-talk). The
// keying thread sets it, so implementations never touch a QObject and never wait.
//
//   SerialControlLine  DTR or RTS of an open serial port, by ioctl on its descriptor
//   ParallelControlLine bit 0 of a parallel port's control register (3 down, 2 up)
//   SilentLine         keys nothing (no port chosen); times still run
// KeyingOutputs bundles the serial and parallel lines of one user (the CW keyer, the
// voice push-to-talk) so that tests can stand in recording lines for both.
#pragma once

#include <QString>

#include <atomic>
#include <mutex>

namespace ditlog {

class ParallelPort;

class KeyingLine {
public:
    virtual ~KeyingLine() = default;
    // Sets the line; false when the output refused (port gone, not attached).
    virtual bool setKeyDown(bool down) noexcept = 0;
    // After a refusal: true when the output was let go or taken over on purpose (its port
    // closed, or opened anew by another user) rather than failed.
    virtual bool released() const noexcept { return false; }
};

class SilentLine final : public KeyingLine {
public:
    bool setKeyDown(bool) noexcept override { return true; }
};

// DTR or RTS of a serial port. The window thread attaches the descriptor of the open
// port and detaches it before the port closes (on SerialPort::aboutToClose); detaching
// leaves the line key-up. Setting a detached line fails.
class SerialControlLine final : public KeyingLine {
public:
    enum class Signal { Rts, Dtr };

    explicit SerialControlLine(Signal signal) : m_signal(signal) {}
    ~SerialControlLine() override { detach(); }

    void attach(int fd);
    void detach();
    bool attached() const;
    Signal signal() const { return m_signal; }
    void setSignal(Signal signal);
    bool setKeyDown(bool down) noexcept override;
    bool released() const noexcept override;

private:
    bool setLocked(bool down) noexcept;

    Signal m_signal;
    mutable std::mutex m_mutex;
    int m_fd = -1;
};

// Bit 0 of the parallel port's control register: 3 keys down, 2 up. The line keys the
// opening of the port it was attached to; once the port is closed or opened anew (by
// another user, at another address) it refuses and counts as released.
class ParallelControlLine final : public KeyingLine {
public:
    explicit ParallelControlLine(ParallelPort& port) : m_port(port) {}
    void attach(); // to the port's current opening
    void detach() { m_session = 0; }
    bool setKeyDown(bool down) noexcept override;
    bool released() const noexcept override;

private:
    ParallelPort& m_port;
    std::atomic<quint64> m_session{0};
};

// The keying outputs of one user: a control line of its serial port and the parallel
// port's bit. Used from the window thread; the lines themselves are set from any thread.
class KeyingOutputs {
public:
    virtual ~KeyingOutputs() = default;
    // Takes the descriptor of a freshly opened serial port: DTR and RTS both go off, and
    // `signal` becomes the keyed line. False (error set) when the device refuses.
    virtual bool attachSerial(int fd, SerialControlLine::Signal signal, QString* error) = 0;
    // Key-up, then forget the descriptor (before the port closes).
    virtual void detachSerial() = 0;
    virtual void setSerialSignal(SerialControlLine::Signal signal) = 0;
    virtual KeyingLine& serialLine() = 0;
    // Opens the parallel port at a base address (kept open while the address stays).
    virtual bool openParallel(int baseAddress, QString* error) = 0;
    virtual void closeParallel() = 0;
    virtual bool parallelOpenAt(int baseAddress) const = 0;
    virtual KeyingLine& parallelLine() = 0;
};

class HardwareKeyingOutputs final : public KeyingOutputs {
public:
    explicit HardwareKeyingOutputs(ParallelPort& parallel);
    ~HardwareKeyingOutputs() override;

    bool attachSerial(int fd, SerialControlLine::Signal signal, QString* error) override;
    void detachSerial() override { m_serial.detach(); }
    void setSerialSignal(SerialControlLine::Signal signal) override { m_serial.setSignal(signal); }
    KeyingLine& serialLine() override { return m_serial; }
    bool openParallel(int baseAddress, QString* error) override;
    void closeParallel() override;
    bool parallelOpenAt(int baseAddress) const override;
    KeyingLine& parallelLine() override { return m_parallelLine; }

private:
    SerialControlLine m_serial{SerialControlLine::Signal::Rts};
    ParallelPort& m_parallel;
    ParallelControlLine m_parallelLine;
};

} // namespace ditlog
