// Send buffer shared by the window thread and the keying thread.
#include "keyer/CwBuffer.h"

namespace ditlog {

void CwBuffer::set(const QString& text) {
    std::lock_guard lock(m_mutex);
    m_text = text;
}

void CwBuffer::append(const QString& text) {
    std::lock_guard lock(m_mutex);
    m_text += text;
}

void CwBuffer::clear() {
    std::lock_guard lock(m_mutex);
    m_text.clear();
}

bool CwBuffer::removeLast() {
    std::lock_guard lock(m_mutex);
    if (m_text.isEmpty()) {
        return false;
    }
    m_text.chop(1);
    return true;
}

QString CwBuffer::text() const {
    std::lock_guard lock(m_mutex);
    return m_text;
}

bool CwBuffer::isEmpty() const {
    std::lock_guard lock(m_mutex);
    return m_text.isEmpty();
}

std::optional<QChar> CwBuffer::takeFirst() {
    std::lock_guard lock(m_mutex);
    if (m_text.isEmpty()) {
        return std::nullopt;
    }
    const QChar c = m_text.front();
    m_text.remove(0, 1);
    return c;
}

bool CwBuffer::startDrain() {
    {
        std::lock_guard lock(m_mutex);
        if (m_draining || m_text.isEmpty()) {
            return false;
        }
        m_draining = true;
        ++m_drain;
    }
    m_wake.notify_all();
    return true;
}

bool CwBuffer::awaitDrain(const std::atomic<bool>& stop) {
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [&] { return m_draining.load() || stop.load(); });
    return !stop.load();
}

std::optional<QChar> CwBuffer::takeForKeying(QString* remaining) {
    std::lock_guard lock(m_mutex);
    if (m_text.isEmpty()) {
        return std::nullopt;
    }
    const QChar c = m_text.front();
    m_text.remove(0, 1);
    if (remaining != nullptr) {
        *remaining = m_text;
    }
    return c;
}

bool CwBuffer::finishDrainIfEmpty() {
    std::lock_guard lock(m_mutex);
    if (!m_text.isEmpty()) {
        return false;
    }
    m_draining = false;
    return true;
}

void CwBuffer::abortDrain() {
    std::lock_guard lock(m_mutex);
    m_text.clear();
    m_draining = false;
}

void CwBuffer::wakeAll() {
    { std::lock_guard lock(m_mutex); }
    m_wake.notify_all();
}

} // namespace ditlog
