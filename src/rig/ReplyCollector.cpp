// The bounded reply buffer of the rig link.
#include "rig/ReplyCollector.h"

namespace ditlog {

void ReplyCollector::clear() {
    m_bytes.clear();
    m_lastByteNs = -1;
    m_overflowed = false;
}

void ReplyCollector::add(const QByteArray& bytes, qint64 nowNs) {
    if (bytes.isEmpty()) {
        return;
    }
    m_lastByteNs = nowNs;
    if (m_overflowed) {
        return;
    }
    if (m_bytes.size() + bytes.size() > kMaxBytes) {
        m_bytes.clear();
        m_overflowed = true;
        return;
    }
    m_bytes.append(bytes);
}

bool ReplyCollector::stillArriving(qint64 nowNs, qint64 gapNs) const {
    return m_lastByteNs >= 0 && nowNs - m_lastByteNs < gapNs;
}

} // namespace ditlog
