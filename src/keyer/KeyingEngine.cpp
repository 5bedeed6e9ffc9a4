// The keying thread: absolute-deadline element timing on the monotonic clock.
#include "keyer/KeyingEngine.h"

#include "keyer/MorseTable.h"
#include "platform/KeyingLine.h"

#include <cerrno>
#include <cstring>
#include <ctime>

#ifdef Q_OS_LINUX
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace ditlog {

namespace {
constexpr qint64 kSliceNs = 50'000'000; // sleeps look at the stop flag this often

inline void cpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

timespec toTimespec(qint64 ns) {
    timespec ts;
    ts.tv_sec = time_t(ns / 1'000'000'000);
    ts.tv_nsec = long(ns % 1'000'000'000);
    return ts;
}
} // namespace

QString timingMethodName(TimingMethod method) {
    switch (method) {
    case TimingMethod::Loop: return QStringLiteral("Loop");
    case TimingMethod::Sleep: return QStringLiteral("Sleep");
    case TimingMethod::Timer: break;
    }
    return QStringLiteral("Timer");
}

TimingMethod timingMethodFromName(const QString& name) {
    if (name == QLatin1String("Loop")) {
        return TimingMethod::Loop;
    }
    if (name == QLatin1String("Sleep")) {
        return TimingMethod::Sleep;
    }
    return TimingMethod::Timer;
}

qint64 MonotonicKeyingClock::now() const {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void MonotonicKeyingClock::sleepUntil(qint64 deadline, const std::atomic<bool>& cancel) {
    for (;;) {
        if (cancel.load(std::memory_order_relaxed)) {
            return;
        }
        const qint64 t = now();
        if (t >= deadline) {
            return;
        }
        const timespec ts = toTimespec(std::min(deadline, t + kSliceNs));
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
        }
    }
}

void MonotonicKeyingClock::spinUntil(qint64 deadline, const std::atomic<bool>& cancel) {
    while (now() < deadline && !cancel.load(std::memory_order_relaxed)) {
        cpuRelax();
    }
}

KeyingEngine::KeyingEngine(CwBuffer& buffer, KeyingClock& clock)
    : m_buffer(buffer), m_clock(clock), m_thread([this] { run(); }) {}

KeyingEngine::~KeyingEngine() {
    m_stop = true;
    m_buffer.wakeAll();
    m_clock.interrupt();
    m_thread.join();
    // Whatever the thread was doing, the line ends key-up.
    std::lock_guard lock(m_lineMutex);
    if (m_line != nullptr) {
        m_line->setKeyDown(false);
    }
    m_down = false;
}

void KeyingEngine::setEventsReady(std::function<void()> ready) {
    bool pending = false;
    {
        std::lock_guard lock(m_mutex);
        m_ready = std::move(ready);
        pending = !m_events.empty();
    }
    if (pending && m_ready) {
        m_ready();
    }
}

std::deque<KeyingEvent> KeyingEngine::takeEvents() {
    std::lock_guard lock(m_mutex);
    std::deque<KeyingEvent> out;
    out.swap(m_events);
    return out;
}

void KeyingEngine::setParameters(const KeyingParameters& parameters) {
    std::lock_guard lock(m_mutex);
    m_parameters = parameters;
}

KeyingParameters KeyingEngine::parameters() const {
    std::lock_guard lock(m_mutex);
    return m_parameters;
}

void KeyingEngine::setLine(KeyingLine* line) {
    std::lock_guard lock(m_lineMutex);
    if (m_line != nullptr && m_down) {
        m_line->setKeyDown(false); // the line given up is left key-up
    }
    m_down = false;
    m_line = line;
    ++m_lineGeneration;
}

quint64 KeyingEngine::lineGeneration(bool* down) const {
    std::lock_guard lock(m_lineMutex);
    *down = m_down;
    return m_lineGeneration;
}

void KeyingEngine::keyUpNow() {
    std::lock_guard lock(m_lineMutex);
    if (m_line != nullptr && m_down) {
        m_line->setKeyDown(false);
    }
    m_down = false;
}

KeyingEngine::Keyed KeyingEngine::writeLevel(bool down, quint64 generation) {
    std::lock_guard lock(m_lineMutex);
    if (generation != m_lineGeneration) {
        return Keyed::Replaced;
    }
    if (m_line == nullptr || m_line->setKeyDown(down)) {
        m_down = down;
        return Keyed::Done;
    }
    const bool released = m_line->released();
    m_line->setKeyDown(false);
    m_down = false;
    return released ? Keyed::Released : Keyed::Failed;
}

QString KeyingEngine::priorityDescription() const {
    std::lock_guard lock(m_mutex);
    return m_priority;
}

void KeyingEngine::post(KeyingEvent event) {
    std::function<void()> ready;
    {
        std::lock_guard lock(m_mutex);
        const bool first = m_events.empty();
        m_events.push_back(std::move(event));
        if (first) {
            ready = m_ready;
        }
    }
    if (ready) {
        ready();
    }
}

void KeyingEngine::setPriority(bool realTime, const QString& description) {
    m_realTime = realTime;
    std::lock_guard lock(m_mutex);
    m_priority = description;
}

void KeyingEngine::raisePriority() {
    QString description;
#ifdef Q_OS_LINUX
    m_threadId = qint64(::gettid());
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL); // wake at the deadline, not 50 us later
    sched_param param{};
    param.sched_priority = std::min(30, sched_get_priority_max(SCHED_FIFO));
    const int error = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
    if (error == 0) {
        m_realTime = true;
        description = QStringLiteral("real-time (SCHED_FIFO %1)").arg(param.sched_priority);
    } else {
        description = QStringLiteral("normal priority: timing may vary (real-time refused: %1)")
                          .arg(QString::fromLocal8Bit(std::strerror(error)));
    }
#else
    description = QStringLiteral("normal priority: timing may vary");
#endif
    {
        std::lock_guard lock(m_mutex);
        m_priority = description;
    }
    post({KeyingEvent::Kind::PriorityDecided, 0, {}, {}});
}

void KeyingEngine::run() {
    raisePriority();
    while (m_buffer.awaitDrain(m_stop)) {
        drain(m_buffer.drainNumber());
    }
    keyUpNow();
}

void KeyingEngine::sleepUntilEdge(qint64 deadline, TimingMethod method) {
    if (method == TimingMethod::Sleep) {
        m_clock.sleepUntil(deadline, m_stop);
        return;
    }
    // "Timer" and "Loop" both spin only the last stretch before the edge.
    m_clock.sleepUntil(deadline - (m_realTime ? kSpinLeadRealTimeNs : kSpinLeadNormalNs), m_stop);
    m_clock.spinUntil(deadline, m_stop);
}

void KeyingEngine::drain(quint64 number) {
    // A new drain starts now, but never inside the previous drain's last gap.
    qint64 t = std::max(m_clock.now() + kStartLeadNs, m_lastEnd);
    TimingMethod method = parameters().method;
    const auto end = [&](KeyingEvent::Kind why, QChar c) {
        m_buffer.abortDrain();
        m_lastEnd = t;
        post({why, number, c, {}});
        post({KeyingEvent::Kind::Finished, number, {}, {}});
    };
    for (;;) {
        if (m_stop) {
            return;
        }
        m_clock.sleepUntil(t - kTakeLeadNs, m_stop);
        QString remaining;
        const std::optional<QChar> c = m_buffer.takeForKeying(&remaining);
        if (!c) {
            sleepUntilEdge(t, method); // the last character's gap
            if (m_buffer.finishDrainIfEmpty()) {
                m_lastEnd = t;
                post({KeyingEvent::Kind::Finished, number, {}, {}});
                return;
            }
            continue;
        }
        if (c->unicode() == kLogContactCharacter) {
            post({KeyingEvent::Kind::LogContact, number, *c, remaining});
            continue;
        }
        const KeyingParameters p = parameters();
        method = p.method;
        const QString pattern = MorseTable::patternToKey(*c, p.wordSpaceAdjust);
        if (pattern.isEmpty()) {
            post({KeyingEvent::Kind::CharacterStarted, number, *c, remaining});
            continue; // keys nothing and takes no time
        }
        qint64 unit = unitNanoseconds(p.wpm);
        if (p.method == TimingMethod::Loop && p.loopScale > 0) {
            unit = qint64(double(unit) * p.loopScale);
        }
        if (unit <= 0) {
            end(KeyingEvent::Kind::SpeedRefused, *c);
            return;
        }
        post({KeyingEvent::Kind::CharacterStarted, number, *c, remaining});
        switch (keyPattern(pattern, unit, t, p.method)) {
        case Keyed::Failed: end(KeyingEvent::Kind::LineFailed, *c); return;
        case Keyed::Released: end(KeyingEvent::Kind::LineReleased, *c); return;
        case Keyed::Done:
        case Keyed::Replaced: break;
        }
        t += qint64(pattern.size()) * unit;
    }
}

KeyingEngine::Keyed KeyingEngine::keyPattern(const QString& pattern, qint64 unit, qint64& t,
                                             TimingMethod method) {
    bool level = false;
    const quint64 generation = lineGeneration(&level);
    const qint64 lateLimit = unit / kLateShareOfUnit;
    Keyed result = Keyed::Done;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const bool down = pattern.at(i) == QLatin1Char('1');
        if (down == level) {
            continue;
        }
        const qint64 deadline = t + qint64(i) * unit;
        sleepUntilEdge(deadline, method);
        if (m_stop) {
            break;
        }
        // A late edge cannot be helped, but the elements after it keep their lengths.
        const qint64 lateness = m_clock.now() - deadline;
        if (lateness > lateLimit) {
            t += lateness;
        }
        const Keyed keyed = writeLevel(down, generation);
        if (keyed == Keyed::Failed || keyed == Keyed::Released) {
            return keyed;
        }
        if (keyed == Keyed::Replaced) {
            result = keyed; // the rest of this character is timed on no line
        }
        level = down;
    }
    if (m_stop) {
        keyUpNow();
    }
    return result;
}

} // namespace ditlog
