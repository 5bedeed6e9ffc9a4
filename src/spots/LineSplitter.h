// Splits received text into lines. A line ends at LF, at CR LF, or at a CR alone (some
// TNCs end lines with CR only); a line that has not ended yet waits for the rest. A line
// longer than the limit is cut there and the rest of it, up to its end, is dropped, so
// the buffer never holds more than one limit's worth.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace ditlog {

struct ReceivedLine {
    QString text; // without its line end, 8-bit characters as Latin-1
    bool cut = false; // longer than the limit: only the first part
};

class LineSplitter {
public:
    static constexpr qsizetype kDefaultMaxLine = 1024;
    explicit LineSplitter(qsizetype maxLine = kDefaultMaxLine) : m_maxLine(maxLine) {}

    // The lines completed by these bytes, in order.
    QList<ReceivedLine> feed(QByteArrayView bytes);
    // The text of the line still waiting for its end.
    QString pending() const { return QString::fromLatin1(m_partial); }
    qsizetype pendingBytes() const { return m_partial.size(); }
    void clear();

private:
    void endLine(QList<ReceivedLine>& lines);

    qsizetype m_maxLine;
    QByteArray m_partial;
    bool m_cut = false;     // the waiting line was cut: drop bytes until its end
    bool m_afterCr = false; // the last byte was a CR: an LF now belongs to it
};

} // namespace ditlog
