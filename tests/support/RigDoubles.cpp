// The hand-moved clock and the scripted rig line.
#include "RigDoubles.h"

#include "rig/RigSettings.h"

#include <algorithm>
#include <cmath>

namespace ditlog::testing {

class ManualClockTimer final : public ClockTimer {
public:
    ManualClockTimer(ManualTimerClock& clock, QObject* parent) : ClockTimer(parent), m_clock(&clock) {
        clock.m_timers.append(this);
    }
    ~ManualClockTimer() override {
        if (m_clock != nullptr) {
            m_clock->m_timers.removeOne(this);
        }
    }
    void start() override {
        m_active = true;
        m_deadline = m_clock->m_now + qint64(interval()) * 1'000'000;
        m_sequence = ++m_clock->m_sequence;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }

    ManualTimerClock* m_clock;
    bool m_active = false;
    qint64 m_deadline = 0;
    quint64 m_sequence = 0;
};

ManualTimerClock::~ManualTimerClock() {
    for (ManualClockTimer* t : std::as_const(m_timers)) {
        t->m_clock = nullptr;
        t->m_active = false;
    }
}

ClockTimer* ManualTimerClock::createTimer(QObject* parent) {
    return new ManualClockTimer(*this, parent);
}

ManualClockTimer* ManualTimerClock::nextDue(qint64 until) const {
    ManualClockTimer* next = nullptr;
    for (ManualClockTimer* t : m_timers) {
        if (!t->m_active || t->m_deadline > until) {
            continue;
        }
        if (next == nullptr || t->m_deadline < next->m_deadline ||
            (t->m_deadline == next->m_deadline && t->m_sequence < next->m_sequence)) {
            next = t;
        }
    }
    return next;
}

void ManualTimerClock::advanceMs(double ms) {
    const qint64 until = m_now + qint64(std::llround(ms * 1e6));
    for (int fired = 0; fired < 1'000'000; ++fired) {
        ManualClockTimer* t = nextDue(until);
        if (t == nullptr) {
            m_now = until;
            return;
        }
        m_now = std::max(m_now, t->m_deadline);
        if (t->isSingleShot()) {
            t->m_active = false;
        } else {
            t->m_deadline += std::max<qint64>(1'000'000, qint64(t->interval()) * 1'000'000);
            t->m_sequence = ++m_sequence;
        }
        Q_EMIT t->timeout();
    }
    qFatal("ManualTimerClock: a timer fires without end");
}

bool ManualTimerClock::advanceUntil(const std::function<bool()>& done, double maxMs, double stepMs) {
    for (double spent = 0; spent <= maxMs; spent += stepMs) {
        if (done()) {
            return true;
        }
        advanceMs(stepMs);
    }
    return done();
}

// ---- the scripted line ---------------------------------------------------------------------

ScriptedRigTransport::ScriptedRigTransport(ManualTimerClock& clock, int charactersPerSecond)
    : m_clock(clock), m_cps(std::max(1, charactersPerSecond)), m_timer(clock.createTimer(this)) {
    m_timer->setSingleShot(true);
    connect(m_timer, &ClockTimer::timeout, this, &ScriptedRigTransport::deliver);
}

bool ScriptedRigTransport::open(const RigSettings& settings, const RigFamily&) {
    if (m_openFails) {
        m_error = QStringLiteral("No such device");
        return false;
    }
    m_open = true;
    m_power = settings.power;
    m_lineFreeNs = m_clock.nowNs();
    return true;
}

void ScriptedRigTransport::close() {
    m_open = false;
    m_arrivals.clear();
    m_timer->stop();
    m_unread.clear();
}

bool ScriptedRigTransport::write(const QByteArray& bytes) {
    if (!m_open || m_writeFails) {
        m_error = QStringLiteral("Input/output error");
        return false;
    }
    const qint64 start = std::max(m_clock.nowNs(), m_lineFreeNs);
    m_lineFreeNs = start + qint64(std::llround(lineMs(bytes.size()) * 1e6));
    m_writes.append({bytes, double(start) / 1e6});
    schedule(m_lineFreeNs, {});
    const QByteArray reply = answer ? answer(bytes) : QByteArray();
    if (!reply.isEmpty()) {
        const int n = std::max(1, pieces);
        const qsizetype size = (reply.size() + n - 1) / n;
        qint64 at = m_lineFreeNs + qint64(std::llround(replyDelayMs * 1e6));
        for (qsizetype from = 0; from < reply.size(); from += size) {
            schedule(at, reply.mid(from, size));
            at += qint64(std::llround(pieceGapMs * 1e6));
        }
    }
    return true;
}

qint64 ScriptedRigTransport::bytesToWrite() const {
    const qint64 left = m_lineFreeNs - m_clock.nowNs();
    return left <= 0 ? 0 : qint64(std::ceil(double(left) / 1e9 * m_cps));
}

void ScriptedRigTransport::sendLater(const QByteArray& bytes, double delayMs) {
    schedule(m_clock.nowNs() + qint64(std::llround(delayMs * 1e6)), bytes);
}

QList<ScriptedRigTransport::Write> ScriptedRigTransport::writesStartingWith(const QByteArray& prefix) const {
    QList<Write> found;
    for (const Write& w : m_writes) {
        if (w.bytes.startsWith(prefix)) {
            found.append(w);
        }
    }
    return found;
}

void ScriptedRigTransport::schedule(qint64 atNs, const QByteArray& bytes) {
    const auto later = std::upper_bound(m_arrivals.begin(), m_arrivals.end(), atNs,
                                        [](qint64 at, const Arrival& a) { return at < a.atNs; });
    m_arrivals.insert(later, Arrival{atNs, bytes});
    m_timer->start(int(std::max<qint64>(0, (m_arrivals.first().atNs - m_clock.nowNs() + 999'999) / 1'000'000)));
}

void ScriptedRigTransport::deliver() {
    bool received = false;
    bool drained = false;
    while (!m_arrivals.isEmpty() && m_arrivals.first().atNs <= m_clock.nowNs()) {
        const Arrival a = m_arrivals.takeFirst();
        if (a.bytes.isEmpty()) {
            drained = true;
        } else if (m_open) {
            m_unread += a.bytes;
            received = true;
        }
    }
    if (!m_arrivals.isEmpty()) {
        m_timer->start(int(std::max<qint64>(0, (m_arrivals.first().atNs - m_clock.nowNs() + 999'999) / 1'000'000)));
    }
    if (drained && m_open && bytesToWrite() == 0) {
        Q_EMIT RigTransport::drained();
    }
    if (received) {
        Q_EMIT readyRead();
    }
}

} // namespace ditlog::testing
