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
        LineReleased,     // the line's output was taken for another use: buffer dropped
        Finished,         // the drain ended (after the last character's gap)
        PriorityDecided,  // the thread asked the kernel for real-time priority (see realTime)
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
    // When it returns, the engine is quiet on the line it had: a line keyed down has been
    // keyed up, and no edge of the keying thread reaches it any more, so the caller may
    // close or reuse that output at once. The rest of a character being keyed is timed
    // without keying. Setting the same line again has the same effect (a line whose
    // output changed under it, such as RTS to DTR).
    void setLine(KeyingLine* line);

    // Starts draining the buffer when it holds text and no drain runs; true if started.
    bool start() { return m_buffer.startDrain(); }
    bool sending() const { return m_buffer.draining(); }

    // What priority the thread got, for the CW window ("real-time (SCHED_FIFO 30)" or
    // "normal priority: timing may vary (real-time refused: ...)"); empty until the
    // thread has started.
    QString priorityDescription() const;
    bool realTime() const { return m_realTime.load(); }
    // The keying thread's kernel id (for a real-time request on its behalf), 0 until it runs.
    qint64 threadId() const { return m_threadId.load(); }
    // Another party made the thread real-time (RealtimeKit), or said why not.
    void setPriority(bool realTime, const QString& description);

    // How long before an edge the "Timer" and "Loop" methods stop sleeping and spin:
    // longer than the kernel's wake-up latency under load (up to about 3 ms on a busy
    // virtual machine even at real-time priority), so the edge is set by the spinning
    // thread on time. Spinning never lasts longer than this, so a real-time keying thread
    // cannot starve the machine.
    static constexpr qint64 kSpinLeadRealTimeNs = 3'000'000;
    static constexpr qint64 kSpinLeadNormalNs = 1'500'000;
    // How long before a character's first edge it is taken from the buffer.
    static constexpr qint64 kTakeLeadNs = 4'000'000;
    // A drain's first edge comes this long after it is started, so that taking the
    // first character is not part of its timing.
    static constexpr qint64 kStartLeadNs = 5'000'000;
    // An edge later than this share of a unit (a stalled thread, a busy machine) moves
    // the rest of the schedule on by its lateness, so the elements after it keep their
    // lengths instead of being fired back to back.
    static constexpr int kLateShareOfUnit = 4; // a quarter unit

private:
    void run();
    void raisePriority();
    void drain(quint64 number);
    // Done; Replaced: the line was replaced meanwhile (the rest is timed, not keyed);
    // Released: the line's output was let go for another use; Failed: it refused.
    enum class Keyed { Done, Replaced, Released, Failed };
    // Keys one pattern from deadline t, which moves on when an edge is late.
    Keyed keyPattern(const QString& pattern, qint64 unit, qint64& t, TimingMethod method);
    void sleepUntilEdge(qint64 deadline, TimingMethod method);
    void post(KeyingEvent event);
    // Sets the level on the line of the given generation; Released when the line has
    // been replaced since (nothing is written then).
    Keyed writeLevel(bool down, quint64 generation);
    // The current line's generation and level (taken at the start of each character).
    quint64 lineGeneration(bool* down) const;
    void keyUpNow();

    CwBuffer& m_buffer;
    KeyingClock& m_clock;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_realTime{false};
    std::atomic<qint64> m_threadId{0};

    mutable PriorityMutex m_mutex; // parameters, events, callback, description
    KeyingParameters m_parameters;
    std::deque<KeyingEvent> m_events;
    std::function<void()> m_ready;
    QString m_priority;
    // The line, its generation and the level last set on it. The keying thread holds
    // this lock only while it sets a level, so replacing the line waits at most for one
    // write and then knows the old line is left alone.
    mutable PriorityMutex m_lineMutex;
    KeyingLine* m_line = nullptr;
    quint64 m_lineGeneration = 0;
    bool m_down = false;
    qint64 m_lastEnd = 0;   // keying thread only: end of the last drain's final gap
    std::thread m_thread;
};

} // namespace ditlog
