// Collects the bytes of one reply as they arrive, bounded, with the time of the last byte,
// so that the link decodes a reply once it is whole and never reads half of one.
#pragma once

#include <QByteArray>

namespace ditlog {

class ReplyCollector {
public:
    static constexpr qsizetype kMaxBytes = 4096;

    // Empties the buffer for a new exchange; leftovers of an abandoned reply go.
    void clear();
    // Appends what arrived at nowNs. Past kMaxBytes the buffer holds no reply (a line
    // that never ends): it is emptied and marked overflowed until the next clear.
    void add(const QByteArray& bytes, qint64 nowNs);

    const QByteArray& bytes() const { return m_bytes; }
    bool isEmpty() const { return m_bytes.isEmpty(); }
    bool overflowed() const { return m_overflowed; }
    // True while the last byte came less than gapNs ago.
    bool stillArriving(qint64 nowNs, qint64 gapNs) const;
    bool receivedAny() const { return m_lastByteNs >= 0; }

private:
    QByteArray m_bytes;
    qint64 m_lastByteNs = -1;
    bool m_overflowed = false;
};

} // namespace ditlog
