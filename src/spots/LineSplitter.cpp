// The bounded line splitter.
#include "spots/LineSplitter.h"

namespace ditlog {

void LineSplitter::clear() {
    m_partial.clear();
    m_cut = false;
    m_afterCr = false;
}

void LineSplitter::endLine(QList<ReceivedLine>& lines) {
    lines.append({QString::fromLatin1(m_partial), m_cut});
    m_partial.clear();
    m_cut = false;
}

QList<ReceivedLine> LineSplitter::feed(QByteArrayView bytes) {
    QList<ReceivedLine> lines;
    for (const char c : bytes) {
        if (c == '\n' && m_afterCr) {
            m_afterCr = false;
            continue;
        }
        m_afterCr = c == '\r';
        if (c == '\r' || c == '\n') {
            endLine(lines);
        } else if (m_partial.size() < m_maxLine) {
            m_partial.append(c);
        } else {
            m_cut = true;
        }
    }
    return lines;
}

} // namespace ditlog
