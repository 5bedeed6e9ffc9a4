// The keying engine: a thread of its own that drains the send buffer character by
// character and keys each element on the keying line against absolute deadlines on the
// monotonic clock, so that nothing the window thread does can stretch a dot.
//
// A drain keeps one schedule: every edge is anchored at the first key-down of the drain
// plus whole units, and a character that arrives while the previous one's gap runs
// continues that schedule. The thread asks for real-time priority (SCHED_FIFO) and
// carries on at normal priority when refused. It never touches a QObject: what the
// window thread must know (a character started, "!" reached, the drain ended, the line
// failed) is queued as events and announced through a callback that is safe to call
// from any thread.
#pragma once

#include "keyer/CwBuffer.h"
#include "keyer/PriorityMutex.h"

#include <QString>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace ditlog {

class KeyingLine;

// How each wait for an edge is timed. All three time against the same deadlines:
// "Timer" sleeps until shortly before the edge and spins to it (the most precise),
// "Sleep" sleeps to the edge (no spinning; the kernel's wake-up latency is the error),
// "Loop" spins all the way, with the unit scaled by the operator's loop calibration.
enum class TimingMethod { Timer, Loop, Sleep };
QString timingMethodName(TimingMethod method);
TimingMethod timingMethodFromName(const QString& name); // anything unknown: Timer

// Time for the keying thread: the monotonic clock and ways to wait for a deadline.
class KeyingClock {
public:
    virtual ~KeyingClock() = default;
    virtual qint64 now() const = 0; // nanoseconds
    // Sleeps until the deadline or until cancel is set (checked at least every 50 ms).
    virtual void sleepUntil(qint64 deadline, const std::atomic<bool>& cancel) = 0;
    // Busy-waits until the deadline or until cancel is set.
    virtual void spinUntil(qint64 deadline, const std::atomic<bool>& cancel) = 0;
    // Lets a waiting thread see cancel at once (clocks that wait on a condition).
    virtual void interrupt() {}
};

// CLOCK_MONOTONIC with clock_nanosleep(TIMER_ABSTIME).
class MonotonicKeyingClock final : public KeyingClock {
public:
    qint64 now() const override;
    void sleepUntil(qint64 deadline, const std::atomic<bool>& cancel) override;
    void spinUntil(qint64 deadline, const std::atomic<bool>& cancel) override;
};

struct KeyingParameters {
    double wpm = 13;
    int wordSpaceAdjust = 0;
    TimingMethod method = TimingMethod::Timer;
    // "Loop": the unit is multiplied by this (the stored loop count over the count this
    // machine measures), so "Speed up CW" and "Slow Down CW" trim the speed by 10 %.
    double loopScale = 1.0;
};

struct KeyingEvent {
    enum class Kind {
        CharacterStarted, // a character was taken (also one that keys nothing); what remains
        LogContact,       // "!" came up
        SpeedRefused,     // the speed was 0 or below: the buffer was dropped
        LineFailed,       // the line refused a level: the buffer was dropped
        Finished,         // the drain ended (after the last character's gap)
    };
    Kind kind;
    quint64 drain = 0;
    QChar character;
    QString remaining;
};

class KeyingEngine {
public:
    KeyingEngine(CwBuffer& buffer, KeyingClock& clock);
    // Stops the thread; the line is left key-up.
    ~KeyingEngine();
    KeyingEngine(const KeyingEngine&) = delete;
    KeyingEngine& operator=(const KeyingEngine&) = delete;

    // Called from the keying thread whenever events wait to be taken (once per batch).
    void setEventsReady(std::function<void()> ready);
    std::deque<KeyingEvent> takeEvents();

    // Read at the start of each character.
    void setParameters(const KeyingParameters& parameters);
    KeyingParameters parameters() const;
    // The line keyed from the next character on; nullptr keys nothing (times still run).
    void setLine(KeyingLine* line);

    // Starts draining the buffer when it holds text and no drain runs; true if started.
    bool start() { return m_buffer.startDrain(); }
    bool sending() const { return m_buffer.draining(); }

    // What priority the thread got, for the CW window ("real-time (SCHED_FIFO 30)" or
    // "normal (real-time refused: ...)"); empty until the thread has started.
    QString priorityDescription() const;
    bool realTime() const { return m_realTime.load(); }

    // How long before an edge the "Timer" method stops sleeping and spins: longer than
    // the kernel's wake-up latency under load (up to about 3 ms on a busy virtual machine
    // even at real-time priority), so the edge is set by the spinning thread on time.
    static constexpr qint64 kSpinLeadRealTimeNs = 3'000'000;
    static constexpr qint64 kSpinLeadNormalNs = 1'500'000;
    // How long before a character's first edge it is taken from the buffer.
    static constexpr qint64 kTakeLeadNs = 4'000'000;
    // A drain's first edge comes this long after it is started, so that taking the
    // first character is not part of its timing.
    static constexpr qint64 kStartLeadNs = 5'000'000;

private:
    void run();
    void raisePriority();
    void drain(quint64 number);
    // Keys one pattern from deadline t; false when the line failed.
    bool keyPattern(const QString& pattern, qint64 unit, qint64 t, const KeyingParameters& p,
                    KeyingLine* line);
    void sleepUntilEdge(qint64 deadline, TimingMethod method);
    void post(KeyingEvent event);
    KeyingLine* currentLine() const;

    CwBuffer& m_buffer;
    KeyingClock& m_clock;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_realTime{false};

    mutable PriorityMutex m_mutex; // parameters, line, events, callback, description
    KeyingParameters m_parameters;
    KeyingLine* m_line = nullptr;
    std::deque<KeyingEvent> m_events;
    std::function<void()> m_ready;
    QString m_priority;
    qint64 m_lastEnd = 0;   // keying thread only: end of the last drain's final gap
    bool m_level = false;   // keying thread only: the level last set
    std::thread m_thread;
};

} // namespace ditlog
