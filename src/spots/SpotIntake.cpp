// Examining TNC lines, Telnet text and packet-engine frames.
#include "spots/SpotIntake.h"

#include "spots/SpotConsole.h"
#include "spots/SpotText.h"

#include <utility>

namespace ditlog {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool beginsWithDx(QStringView text) { return text.startsWith(u"DX", Qt::CaseInsensitive); }

// Whether an unfinished line can still become a spot line, whose first "DX" stands at its
// first or second character.
bool mayBecomeSpotLine(QStringView text) {
    const qsizetype dx = text.indexOf(u"DX", 0, Qt::CaseInsensitive);
    if (dx >= 0) {
        return dx <= 1;
    }
    return text.size() < 2 || (text.size() == 2 && text.at(1).toUpper() == u'D');
}

// Every CR and every LF becomes CR LF (so a CR LF becomes two line ends).
QString withCrLf(QStringView text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        if (c == u'\r' || c == u'\n') {
            out += kCrLf;
        } else {
            out += c;
        }
    }
    return out;
}

QString trimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ') {
        ++begin;
    }
    while (end > begin && text.at(end - 1) == u' ') {
        --end;
    }
    return text.mid(begin, end - begin).toString();
}

} // namespace

SpotIntake::SpotIntake(SpotConsole& console, QObject* parent)
    : QObject(parent), m_console(console) {}

void SpotIntake::setConnectedStation(const QString& call) {
    if (call.compare(m_connected, Qt::CaseInsensitive) != 0) {
        m_agwLines.clear();
        m_agwShown = 0;
    }
    m_connected = call;
}

void SpotIntake::resetStreams() {
    m_tncFilter.reset();
    m_agwFilter.reset();
    m_tncLines.clear();
    m_telnetLines.clear();
    m_agwLines.clear();
    m_agwShown = 0;
}

void SpotIntake::endTelnetPrompt() {
    const QString pending = m_telnetLines.pending();
    const bool mayBeSpot = QStringView(u"DX").startsWith(pending, Qt::CaseInsensitive) ||
                           pending.startsWith(u"DX", Qt::CaseInsensitive);
    if (!mayBeSpot) {
        m_telnetLines.clear();
    }
}

void SpotIntake::PostSpot(const QString& line) {
    const SpotFields fields = spotFields(line);
    Q_EMIT spotPosted(fields.frequency, fields.call, spotRecord(line));
}

void SpotIntake::SplitTncLines(QByteArrayView bytes) {
    for (const ReceivedLine& received : m_tncLines.feed(m_tncFilter.filter(bytes))) {
        if (received.text.isEmpty()) {
            continue;
        }
        const QString line = received.text + kCrLf;
        if (m_console.alreadyShown(line)) {
            continue; // a repeat of what was just shown, spot or not
        }
        if (!received.cut && isSpotLine(line)) {
            m_console.show(line);
            PostSpot(line);
        } else if (!m_dxOnly) {
            m_console.show(line);
        }
    }
}

void SpotIntake::ExamineTelnetBlock(const QByteArray& text) {
    if (!m_dxOnly) {
        m_console.show(QString::fromLatin1(text));
    }
    for (const ReceivedLine& received : m_telnetLines.feed(text)) {
        Q_EMIT telnetLineReceived(received.text);
        if (received.cut || !isSpotLine(received.text)) {
            continue;
        }
        PostSpot(received.text);
        if (m_dxOnly) {
            m_console.show(received.text + kCrLf);
        }
    }
}

void SpotIntake::examineAgwLine(const QString& plain, bool fromConnected) {
    const qsizetype dx = plain.indexOf(u"DX", 0, Qt::CaseInsensitive);
    if ((dx == 0 || dx == 1) && !m_console.alreadyShown(plain)) {
        m_console.append(plain);
        PostSpot(plain);
        m_console.TrimConsole();
    }
    if (fromConnected && !m_dxOnly && !beginsWithDx(plain)) {
        m_console.show(plain);
    }
}

void SpotIntake::takeAgwLine(const ReceivedLine& received) {
    if (m_agwShown > 0) {
        // Begun as a prompt: the rest of it, and no spot.
        const qsizetype shown = std::exchange(m_agwShown, 0);
        if (!m_dxOnly) {
            m_console.show(received.text.mid(shown) + kCrLf);
        }
        return;
    }
    if (!received.text.isEmpty() && !received.cut) {
        examineAgwLine(received.text + kCrLf, true);
    }
}

void SpotIntake::showAgwPending(bool evenSpotStart) {
    const QString pending = m_agwLines.pending();
    if (m_dxOnly || pending.size() <= m_agwShown) {
        return;
    }
    if (m_agwShown == 0 && !evenSpotStart && mayBecomeSpotLine(pending)) {
        return;
    }
    m_console.show(pending.mid(m_agwShown));
    m_agwShown = pending.size();
}

void SpotIntake::ExamineAgwFrame(char kind, const QString& fromCall, const QByteArray& data) {
    // Each frame stands alone: a sequence cut off at its end does not reach into the next.
    ReceivedTextFilter frameFilter;
    const QByteArray clean = frameFilter.filter(data);
    const QString text = withCrLf(QString::fromLatin1(clean));
    const bool connected = !m_connected.isEmpty();
    const bool fromConnected =
        connected && fromCall.compare(m_connected, Qt::CaseInsensitive) == 0;

    QString plain = text;
    if (!connected) {
        // The monitor header line goes; what follows it is the packet's text.
        const qsizetype lf = plain.indexOf(u'\n');
        plain = trimBlanks(lf >= 0 ? QStringView(plain).mid(lf + 1) : QStringView(plain));
    }
    if (plain == kCrLf) {
        plain.clear();
    } else if (plain.size() > 4 && plain.endsWith(QStringLiteral("\r\n\r\n"))) {
        plain.chop(2);
    }

    if (kind == 'D' && fromConnected) {
        // Connected data arrives in packets that may end inside a line: lines are taken
        // whole, one by one, once they have ended.
        for (const ReceivedLine& received : m_agwLines.feed(m_agwFilter.filter(data))) {
            takeAgwLine(received);
        }
        // Text without its line end yet (a prompt, a question) is shown as it comes,
        // unless it may still turn out to be a spot line.
        showAgwPending(false);
    } else {
        // A frame may carry several lines; each one is examined.
        for (const QStringView line : QStringView(plain).split(kCrLf, Qt::SkipEmptyParts)) {
            examineAgwLine(line.toString() + kCrLf, fromConnected);
        }
    }

    if (!connected && !m_dxOnly) {
        const QString full = QString(QLatin1Char(kind)) + fromCall + QLatin1Char(' ') + text;
        if (!full.contains(u"DX ", Qt::CaseInsensitive) && !beginsWithDx(plain)) {
            m_console.show(full);
        }
    }
}

} // namespace ditlog
