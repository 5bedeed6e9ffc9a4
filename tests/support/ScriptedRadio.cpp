// The scripted radio's three protocols.
#include "ScriptedRadio.h"

#include <QTimer>

#include <chrono>

namespace ditlog::testing {

namespace {
// n decimal digits as BCD bytes, most significant first.
QByteArray bcd(qint64 value, int digits) {
    QByteArray out;
    const QByteArray text = QByteArray::number(value).rightJustified(digits, '0');
    for (int i = 0; i + 1 < digits; i += 2) {
        out.append(char(((text.at(i) - '0') << 4) | (text.at(i + 1) - '0')));
    }
    return out;
}

qint64 fromBcd(const QByteArray& bytes) {
    qint64 value = 0;
    for (const char c : bytes) {
        value = value * 100 + ((quint8(c) >> 4) * 10) + (quint8(c) & 0x0F);
    }
    return value;
}
} // namespace

ScriptedRadio::ScriptedRadio(PseudoTerminal& device, Protocol protocol, QObject* parent)
    : QObject(parent), m_device(device), m_protocol(protocol) {
    m_clock.start();
    connect(&m_device, &PseudoTerminal::bytesReceived, this, &ScriptedRadio::onBytes);
}

QList<ScriptedRadio::Received> ScriptedRadio::receivedStartingWith(const QByteArray& prefix) const {
    QList<Received> out;
    for (const Received& r : m_received) {
        if (r.bytes.startsWith(prefix)) {
            out.append(r);
        }
    }
    return out;
}

void ScriptedRadio::record(const QByteArray& bytes) {
    m_received.append({bytes, double(m_clock.nsecsElapsed()) / 1e6});
    Q_EMIT queryReceived(bytes);
}

void ScriptedRadio::onBytes(const QByteArray& bytes) {
    m_input += bytes;
    for (;;) {
        if (m_protocol == Protocol::Kenwood) {
            const qsizetype end = m_input.indexOf(';');
            if (end < 0) {
                return;
            }
            const QByteArray command = m_input.left(end + 1);
            m_input.remove(0, end + 1);
            handleKenwood(command);
        } else if (m_protocol == Protocol::Civ) {
            const qsizetype start = m_input.indexOf("\xFE\xFE");
            const qsizetype end = m_input.indexOf('\xFD', std::max<qsizetype>(start, 0));
            if (start < 0 || end < 0) {
                return;
            }
            const QByteArray frame = m_input.mid(start, end - start + 1);
            m_input.remove(0, end + 1);
            handleCiv(frame);
        } else {
            if (m_input.size() < 5) {
                return;
            }
            const QByteArray command = m_input.left(5);
            m_input.remove(0, 5);
            handleYaesu(command);
        }
    }
}

bool ScriptedRadio::handleKenwoodStation(const QByteArray& name, const QByteArray& argument) {
    if (name == "KY") {
        if (argument.isEmpty()) {
            const bool full = m_fullAnswers > 0;
            m_fullAnswers = std::max(0, m_fullAnswers - 1);
            reply(full ? "KY1;" : "KY0;");
        } else if (argument == "0") {
            ++m_keyerStops;
        } else if (argument.startsWith(' ')) {
            QByteArray text = argument.mid(1);
            while (text.endsWith(' ')) {
                text.chop(1); // the field's fill is not sent
            }
            m_keyed += text;
        }
        return true;
    }
    if (name == "KS" && !argument.isEmpty()) {
        m_keyerSpeed = argument.toInt();
        return true;
    }
    if ((name == "TX" || name == "RX") && argument.isEmpty()) {
        m_transmitting = name == "TX";
        if (!m_transmitting) {
            ++m_keyerStops; // receive ends what the keyer was sending
        }
        return true;
    }
    return false;
}

void ScriptedRadio::handleKenwood(const QByteArray& command) {
    record(command);
    const QByteArray name = command.left(2);
    const QByteArray argument = command.mid(2, command.size() - 3);
    if (handleKenwoodStation(name, argument)) {
        return;
    }
    if (!argument.isEmpty()) {
        if (name == "FA" || name == "FB") {
            m_hz = argument.toLongLong();
        } else if (name == "MD") {
            m_mode = argument.toInt();
        }
        return; // commands are not answered
    }
    if (name == "FA" || name == "FB") {
        reply(name + QByteArray::number(m_hz).rightJustified(11, '0') + ';');
    } else if (name == "MD") {
        reply("MD" + QByteArray::number(m_mode) + ';');
    } else if (name == "IF") {
        reply("IF" + QByteArray::number(m_hz).rightJustified(11, '0') + "0000+00000000000" +
              QByteArray::number(m_mode) + (m_vfoB ? "1" : "0") + "000000;");
    } else {
        reply("?;");
    }
}

void ScriptedRadio::handleCiv(const QByteArray& frame) {
    record(frame);
    if (frame.size() < 6 || quint8(frame.at(2)) != m_civAddress) {
        return;
    }
    const auto command = quint8(frame.at(4));
    const QByteArray data = frame.mid(5, frame.size() - 6);
    QByteArray head("\xFE\xFE\xE0");
    head.append(char(m_civAddress));
    QByteArray answer;
    if (handleCivStation(command, data, answer)) {
        answer = head + answer + '\xFD';
    } else if (command == 0x03) {
        QByteArray digits = bcd(m_hz, 10);
        std::reverse(digits.begin(), digits.end());
        answer = head + '\x03' + digits + '\xFD';
    } else if (command == 0x04) {
        answer = head + '\x04' + char(m_mode) + '\x01' + '\xFD';
    } else if (command == 0x05 && data.size() == 5) {
        QByteArray digits = data;
        std::reverse(digits.begin(), digits.end());
        m_hz = fromBcd(digits);
        answer = head + "\xFB\xFD";
    } else if (command == 0x06 && !data.isEmpty()) {
        m_mode = quint8(data.at(0));
        answer = head + "\xFB\xFD";
    } else {
        answer = head + "\xFA\xFD";
    }
    reply((m_civEcho ? frame : QByteArray()) + answer);
}

bool ScriptedRadio::handleCivStation(quint8 command, const QByteArray& data, QByteArray& answer) {
    if (command == 0x17 && data == QByteArray(1, '\xFF')) {
        ++m_keyerStops;
        answer = "\xFB";
    } else if (command == 0x17) {
        const bool full = m_fullAnswers > 0;
        m_fullAnswers = std::max(0, m_fullAnswers - 1);
        if (!full) {
            m_keyed += data;
        }
        answer = full ? "\xFA" : "\xFB";
    } else if (command == 0x14 && data.size() == 3 && data.at(0) == '\x0C') {
        m_keyerSpeed = int(fromBcd(data.mid(1)));
        answer = "\xFB";
    } else if (command == 0x1C && data.size() == 2 && data.at(0) == '\x00') {
        m_transmitting = data.at(1) == '\x01';
        answer = "\xFB";
    } else {
        return false;
    }
    return true;
}

void ScriptedRadio::handleYaesu(const QByteArray& command) {
    record(command);
    switch (quint8(command.at(4))) {
    case 0x03:
        reply(bcd(m_hz / 10, 8) + char(m_mode));
        break;
    case 0x01:
        m_hz = fromBcd(command.left(4)) * 10;
        break;
    case 0x07:
        m_mode = quint8(command.at(0));
        break;
    default:
        break; // wake-up, goodbye and the rest: no answer
    }
}

void ScriptedRadio::reply(const QByteArray& bytes) {
    if (!m_answering) {
        return;
    }
    // Replies go out one after the other, as on a wire: a reply starts once the pieces of
    // the one before it are out.
    const qint64 now = m_clock.elapsed();
    qint64 at = std::max(now + m_replyDelayMs, m_lineFreeAtMs);
    const QByteArray whole = m_noise + bytes;
    const qsizetype pieceSize = (whole.size() + m_pieces - 1) / m_pieces;
    const auto send = [this](const QByteArray& piece, bool last) {
        m_device.send(piece);
        if (last) {
            m_lastReplyEndNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count();
        }
    };
    for (int i = 0; i < m_pieces; ++i) {
        const QByteArray piece = whole.mid(i * pieceSize, pieceSize);
        if (piece.isEmpty()) {
            break;
        }
        const bool last = (i + 1) * pieceSize >= whole.size();
        if (at <= now) {
            send(piece, last);
        } else {
            QTimer::singleShot(int(at - now), Qt::PreciseTimer, this, [send, piece, last] { send(piece, last); });
        }
        m_lineFreeAtMs = at + 1;
        at += m_pieceGapMs;
    }
}

} // namespace ditlog::testing
