// The WinKeyer emulator.
#include "WinKeyerEmulator.h"

#include "keyer/MorseTable.h"

namespace ditlog::testing {

WinKeyerEmulator::WinKeyerEmulator(Options options, QObject* parent)
    : QObject(parent), m_options(options), m_device(m_names.filePath(QStringLiteral("ttyWinKeyer"))) {
    connect(&m_device, &PseudoTerminal::bytesReceived, this, &WinKeyerEmulator::received);
}

bool WinKeyerEmulator::plugIn() {
    hostOpen = false;
    buffer.clear();
    m_command.clear();
    m_echo = false;
    m_elapsedInCharacter = 0;
    m_lastStatus = 0xFF;
    return m_device.plugIn();
}

int WinKeyerEmulator::argumentCount(quint8 command, quint8 firstArgument) {
    static const int counts[32] = {1, 1, 1, 1, 2, 3, 1, 0, 0, 1, 0, 1, 1, 1, 1, 15,
                                   1, 1, 1, 0, 1, 0, 1, 1, 1, 1, 1, 2, 1, 1, 0, 0};
    if (command == 0x00) {
        // Admin: the sub-command, and one more byte for echo, calibrate, message, xmode.
        return firstArgument == 0x04 || firstArgument == 0x00 || firstArgument == 0x0E ||
                       firstArgument == 0x0F
                   ? 2
                   : 1;
    }
    return counts[command & 0x1F];
}

void WinKeyerEmulator::received(const QByteArray& bytes) {
    if (!m_options.answers) {
        return;
    }
    for (const char ch : bytes) {
        const auto b = quint8(ch);
        if (!m_command.isEmpty()) {
            m_command += char(b);
        } else if (b >= 0x20) {
            if (!hostOpen) {
                continue;
            }
            ++charactersReceived;
            maxBufferedOnArrival = std::max(maxBufferedOnArrival, int(buffer.size()));
            if (buffer.size() < kBufferSize) {
                buffer += QChar(b);
            }
            reportStatus();
            continue;
        } else {
            m_command += char(b);
        }
        const quint8 first = m_command.size() > 1 ? quint8(m_command.at(1)) : 0;
        if (m_command.size() >= 2 || argumentCount(quint8(m_command.at(0)), 0) == 0) {
            if (m_command.size() - 1 >= argumentCount(quint8(m_command.at(0)), first)) {
                const QByteArray done = m_command;
                m_command.clear();
                execute(done);
            }
        }
    }
}

void WinKeyerEmulator::execute(const QByteArray& c) {
    const auto op = quint8(c.at(0));
    const auto arg = [&c](int i) { return int(quint8(c.at(i))); };
    Q_EMIT commandReceived(op);
    if (op == 0x00) {
        switch (arg(1)) {
        case 0x02:
            if (!m_options.opens) {
                break;
            }
            hostOpen = true;
            ++hostOpens;
            if (m_options.hostModeLeftOn) {
                m_device.send(QByteArray(1, '\xC0'));
            }
            m_device.send(QByteArray(1, char(m_options.version)));
            break;
        case 0x03: hostOpen = false; break;
        case 0x04:
            if (m_options.hostModeLeftOn) {
                m_device.send(QByteArray("\xC4\x8A", 2)); // a status and a pot byte first
            }
            m_device.send(QByteArray(1, char(m_options.garbage ? arg(2) ^ 0x0F : arg(2))));
            break;
        default: break;
        }
        return;
    }
    if (!hostOpen) {
        return;
    }
    switch (op) {
    case 0x02:
        speeds << arg(1);
        m_wpm = arg(1) > 0 ? arg(1) : 20;
        break;
    case 0x03: weights << arg(1); break;
    case 0x04: leadTails << qMakePair(arg(1), arg(2)); break;
    case 0x08:
        ++backspaces;
        if (buffer.size() > 1) {
            buffer.chop(1);
        }
        break;
    case 0x09: pins << arg(1); break;
    case 0x0A:
        ++clears;
        buffer.clear();
        m_elapsedInCharacter = 0;
        break;
    case 0x0E:
        modes << arg(1);
        m_echo = arg(1) & 0x04;
        break;
    case 0x15: m_lastStatus = 0xFF; break; // reported below
    case 0x17: ratios << arg(1); break;
    default: break;
    }
    reportStatus();
}

void WinKeyerEmulator::reportStatus() {
    if (!hostOpen) {
        return;
    }
    const bool busy = m_options.stuckBusy || !buffer.isEmpty();
    const bool xoff = m_options.stuckBusy || buffer.size() > kBufferSize * 2 / 3;
    const quint8 status = quint8(0xC0 | (busy ? 0x04 : 0) | (xoff ? 0x01 : 0));
    if (status != m_lastStatus) {
        m_lastStatus = status;
        m_device.send(QByteArray(1, char(status)));
    }
}

void WinKeyerEmulator::advanceMs(double ms) {
    if (m_options.stuckBusy) {
        return;
    }
    double left = ms;
    while (!buffer.isEmpty()) {
        const QChar c = buffer.front();
        const double length = double(MorseTable::patternToKey(c, 0).size()) * 1200.0 / m_wpm;
        if (m_elapsedInCharacter + left < length) {
            m_elapsedInCharacter += left;
            break;
        }
        left -= length - m_elapsedInCharacter;
        m_elapsedInCharacter = 0;
        buffer.remove(0, 1);
        keyed += c;
        if (m_echo && length > 0) {
            m_device.send(QByteArray(1, char(c.unicode())));
        }
        reportStatus();
    }
}

} // namespace ditlog::testing
