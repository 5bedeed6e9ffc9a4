// Recording keying line and parallel port.
#include "KeyingDoubles.h"

#include <chrono>

namespace ditlog::testing {

bool RecordingKeyingLine::setKeyDown(bool down) noexcept {
    const qint64 now = m_clock != nullptr
                           ? m_clock->now()
                           : std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
    std::lock_guard lock(m_mutex);
    m_edges.push_back({now, down});
    m_down = down;
    return !m_failing;
}

std::vector<LineEdge> RecordingKeyingLine::edges() const {
    std::lock_guard lock(m_mutex);
    return m_edges;
}

QString RecordingKeyingLine::levels() const {
    std::lock_guard lock(m_mutex);
    QString out;
    for (const LineEdge& e : m_edges) {
        out += e.down ? QLatin1Char('1') : QLatin1Char('0');
    }
    return out;
}

std::vector<LineEdge> RecordingKeyingLine::changes() const {
    std::lock_guard lock(m_mutex);
    std::vector<LineEdge> out;
    bool level = false;
    for (const LineEdge& e : m_edges) {
        if (e.down != level) {
            out.push_back(e);
            level = e.down;
        }
    }
    return out;
}

void RecordingKeyingLine::clear() {
    std::lock_guard lock(m_mutex);
    m_edges.clear();
}

bool RecordingParallelPort::open(int baseAddress) {
    std::lock_guard lock(m_mutex);
    if (m_open) {
        m_writes.append(kRestingControl);
    }
    m_open = false;
    m_session = 0;
    m_number = parallelPortNumberForBase(baseAddress, QStringLiteral("/nonexistent"));
    if (m_openFails || m_number < 0) {
        m_error = QStringLiteral("No parallel port at this address.");
        return false;
    }
    m_base = baseAddress;
    m_open = true;
    m_session = ++m_openings;
    m_writes.append(kRestingControl);
    return true;
}

void RecordingParallelPort::close() {
    std::lock_guard lock(m_mutex);
    if (m_open) {
        m_writes.append(kRestingControl);
    }
    m_open = false;
    m_session = 0;
}

quint64 RecordingParallelPort::session() const {
    std::lock_guard lock(m_mutex);
    return m_session;
}

void RecordingParallelPort::setWritesFail(bool fails) {
    std::lock_guard lock(m_mutex);
    m_writesFail = fails;
    m_error = QStringLiteral("Input/output error");
}

bool RecordingParallelPort::writeControl(quint8 value) noexcept {
    std::lock_guard lock(m_mutex);
    if (!m_open || m_writesFail) {
        return false;
    }
    m_writes.append(value);
    return true;
}

bool RecordingParallelPort::writeControlInSession(quint8 value, quint64 session) noexcept {
    std::lock_guard lock(m_mutex);
    if (!m_open || m_writesFail || session == 0 || session != m_session) {
        return false;
    }
    m_writes.append(value);
    return true;
}

QList<quint8> RecordingParallelPort::writes() const {
    std::lock_guard lock(m_mutex);
    return m_writes;
}

qint64 ManualKeyingClock::now() const {
    std::lock_guard lock(m_mutex);
    return m_now;
}

qint64 ManualKeyingClock::parkedAt() const {
    std::lock_guard lock(m_mutex);
    return m_parked;
}

void ManualKeyingClock::wait(qint64 deadline, const std::atomic<bool>& cancel) {
    std::unique_lock lock(m_mutex);
    if (m_now >= deadline) {
        return;
    }
    m_parked = deadline;
    m_cv.notify_all();
    m_cv.wait(lock, [&] { return m_now >= deadline || cancel.load() || m_interrupted; });
    m_parked = -1;
    m_cv.notify_all();
}

void ManualKeyingClock::interrupt() {
    std::lock_guard lock(m_mutex);
    m_interrupted = true;
    m_cv.notify_all();
}

bool ManualKeyingClock::settle(const std::function<bool()>& idle) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_parked > m_now) {
            return true;
        }
        lock.unlock();
        const bool quiet = idle();
        lock.lock();
        if (quiet && !(m_parked > m_now)) {
            // Idle, and no wait pending that the thread is about to park in.
            return true;
        }
        if (std::chrono::steady_clock::now() > give_up) {
            return false;
        }
        m_cv.wait_for(lock, std::chrono::milliseconds(2));
    }
}

void ManualKeyingClock::advance(qint64 ns, const std::function<bool()>& idle) {
    {
        std::lock_guard lock(m_mutex);
        m_now += ns;
        m_cv.notify_all();
    }
    settle(idle);
}

void ManualKeyingClock::stepBy(qint64 ns, const std::function<bool()>& idle) {
    const qint64 target = now() + ns;
    settle(idle);
    for (qint64 parked = parkedAt(); parked >= 0 && parked <= target; parked = parkedAt()) {
        advance(parked - now(), idle);
    }
    if (target > now()) {
        advance(target - now(), idle);
    }
}

bool ManualKeyingClock::runUntilIdle(const std::function<bool()>& idle, qint64 maxNs) {
    const qint64 end = now() + maxNs;
    settle(idle);
    for (;;) {
        const qint64 parked = parkedAt();
        if (parked < 0 && idle()) {
            return true;
        }
        if (parked < 0) {
            settle(idle);
            continue;
        }
        if (parked > end) {
            return false;
        }
        advance(parked - now(), idle);
    }
}

bool RecordingKeyingOutputs::attachSerial(int fd, SerialControlLine::Signal s, QString* error) {
    if (attachFails || fd < 0) {
        if (error != nullptr) {
            *error = QStringLiteral("Inappropriate ioctl for device");
        }
        return false;
    }
    signal = s;
    ++attaches;
    serial.setFailing(false);
    serial.setReleased(false);
    return true;
}

void RecordingKeyingOutputs::detachSerial() {
    ++detaches;
    serial.setFailing(true);
    serial.setReleased(true);
}

void RecordingKeyingOutputs::closeParallel() {
    parallelBase = -1;
    parallel.setFailing(true);
    parallel.setReleased(true);
}

bool RecordingKeyingOutputs::openParallel(int baseAddress, QString* error) {
    parallelPortNumber = parallelPortNumberForBase(baseAddress, QStringLiteral("/nonexistent"));
    if (parallelPortNumber < 0) {
        if (error != nullptr) {
            *error = QStringLiteral("No parallel port at this address.");
        }
        return false;
    }
    parallelBase = baseAddress;
    parallel.setFailing(false);
    parallel.setReleased(false);
    return true;
}

} // namespace ditlog::testing
