// Recording keying line and parallel port.
#include "KeyingDoubles.h"

#include <chrono>

namespace ditlog::testing {

bool RecordingKeyingLine::setKeyDown(bool down) noexcept {
    const qint64 now = std::chrono::duration_cast<std::chrono::nanoseconds>(
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
    m_number = parallelPortNumberForBase(baseAddress, QStringLiteral("/nonexistent"));
    if (m_openFails || m_number < 0) {
        m_error = QStringLiteral("No parallel port at this address.");
        m_open = false;
        return false;
    }
    m_base = baseAddress;
    m_open = true;
    return true;
}

bool RecordingParallelPort::writeControl(quint8 value) noexcept {
    std::lock_guard lock(m_mutex);
    if (!m_open) {
        return false;
    }
    m_writes.append(value);
    return true;
}

QList<quint8> RecordingParallelPort::writes() const {
    std::lock_guard lock(m_mutex);
    return m_writes;
}

} // namespace ditlog::testing
