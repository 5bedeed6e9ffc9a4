// Recording stand-ins for the keying outputs this machine lacks: a keying line that
// records (monotonic time, level) at every change, and a parallel port that records the
// control-register writes.
#pragma once

#include "keyer/KeyingEngine.h"
#include "platform/KeyingLine.h"
#include "platform/ParallelPort.h"

#include <QList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

namespace ditlog::testing {

struct LineEdge {
    qint64 ns; // steady clock, nanoseconds
    bool down;
};

// Records every call (also repeated levels), safe from the keying thread. Times come
// from the steady clock, or from a given clock (a manual keying clock in tests).
class RecordingKeyingLine final : public KeyingLine {
public:
    explicit RecordingKeyingLine(const KeyingClock* clock = nullptr, std::size_t reserve = 1 << 16)
        : m_clock(clock) {
        m_edges.reserve(reserve);
    }
    bool setKeyDown(bool down) noexcept override;

    std::vector<LineEdge> edges() const;
    // The levels alone, as a string of '1' and '0' per call.
    QString levels() const;
    // Changes of level only (repeated levels dropped).
    std::vector<LineEdge> changes() const;
    bool isDown() const { return m_down.load(); }
    void clear();
    // From now on every set fails (the port vanished); the level is still recorded.
    void setFailing(bool failing) { m_failing = failing; }
    // Refusals count as a line let go on purpose (detached), not as failures.
    void setReleased(bool released) { m_released = released; }
    bool released() const noexcept override { return m_released.load(); }

private:
    const KeyingClock* m_clock;
    mutable std::mutex m_mutex;
    std::vector<LineEdge> m_edges;
    std::atomic<bool> m_down{false};
    std::atomic<bool> m_failing{false};
    std::atomic<bool> m_released{false};
};

// A parallel port that accepts any address the base-address rule maps.
// Like the real port, opening and closing write the resting value (2).
class RecordingParallelPort final : public ParallelPort {
public:
    bool open(int baseAddress) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    int baseAddress() const override { return m_base; }
    quint64 session() const override;
    bool writeControl(quint8 value) noexcept override;
    bool writeControlInSession(quint8 value, quint64 session) noexcept override;
    QString errorString() const override { return m_error; }

    QList<quint8> writes() const;
    // The /dev/parportN the real port would have opened, -1 before the first open.
    int portNumber() const { return m_number; }
    void setOpenFails(bool fails) { m_openFails = fails; }
    // Writes to the open port are refused (the port claimed away, a driver error).
    void setWritesFail(bool fails);

private:
    mutable std::mutex m_mutex;
    QList<quint8> m_writes;
    std::atomic<bool> m_open{false};
    bool m_openFails = false;
    bool m_writesFail = false;
    int m_base = 0;
    int m_number = -1;
    quint64 m_session = 0;
    quint64 m_openings = 0;
    QString m_error;
};

// Keying time the test moves by hand. The keying thread's waits block until the test
// advances the clock past their deadline; settle() returns once the thread waits again
// (or has nothing to do), so each step of a test sees a quiet engine.
class ManualKeyingClock final : public KeyingClock {
public:
    qint64 now() const override;
    void sleepUntil(qint64 deadline, const std::atomic<bool>& cancel) override { wait(deadline, cancel); }
    void spinUntil(qint64 deadline, const std::atomic<bool>& cancel) override { wait(deadline, cancel); }
    void interrupt() override;

    // Moves time on and waits until the keying thread is parked again or idle.
    void advance(qint64 ns, const std::function<bool()>& idle);
    void advanceMs(double ms, const std::function<bool()>& idle) { advance(qint64(ms * 1e6), idle); }
    // Steps from deadline to deadline up to now + ns, so every edge is recorded at its
    // own deadline, then on to the end of the step.
    void stepBy(qint64 ns, const std::function<bool()>& idle);
    // Steps from deadline to deadline until the thread is idle; false after maxNs.
    bool runUntilIdle(const std::function<bool()>& idle, qint64 maxNs = 600'000'000'000LL);
    // Waits until the thread is parked at a deadline beyond now, or idle.
    bool settle(const std::function<bool()>& idle);
    // The deadline the thread waits for, or -1.
    qint64 parkedAt() const;

private:
    void wait(qint64 deadline, const std::atomic<bool>& cancel);

    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    qint64 m_now = 1'000'000'000;
    qint64 m_parked = -1;
    bool m_interrupted = false;
};

// Serial and parallel keying lines that record; the serial line fails while detached
// (as a vanished port would) and records its attaches and signals.
class RecordingKeyingOutputs final : public KeyingOutputs {
public:
    explicit RecordingKeyingOutputs(const KeyingClock* clock = nullptr)
        : serial(clock), parallel(clock) {
        serial.setFailing(true);
        serial.setReleased(true);
        parallel.setFailing(true);
        parallel.setReleased(true);
    }

    bool attachSerial(int fd, SerialControlLine::Signal signal, QString* error) override;
    void detachSerial() override;
    void setSerialSignal(SerialControlLine::Signal s) override { signal = s; }
    KeyingLine& serialLine() override { return serial; }
    bool openParallel(int baseAddress, QString* error) override;
    void closeParallel() override;
    bool parallelOpenAt(int baseAddress) const override { return parallelBase == baseAddress; }
    KeyingLine& parallelLine() override { return parallel; }

    RecordingKeyingLine serial;
    RecordingKeyingLine parallel;
    SerialControlLine::Signal signal = SerialControlLine::Signal::Rts;
    int attaches = 0;
    int detaches = 0;
    int parallelBase = -1;
    int parallelPortNumber = -1; // the parportN the address maps to
    bool attachFails = false;
};

} // namespace ditlog::testing
