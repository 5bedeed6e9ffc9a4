// The WinKeyer host protocol: the open sequence as timer steps, commands, and the
// pending count from status bytes and echoes.
#include "platform/WinKeyer.h"

#include "platform/SerialPort.h"

#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcWinKeyer, "ditlog.winkeyer", QtWarningMsg)

namespace ditlog {

namespace {
constexpr int kXoffPending = 5;
// An idle report this soon after a character was given may predate that character.
constexpr qint64 kIdleAfterGiveMs = 100;
} // namespace

QString winKeyResultText(int result) {
    switch (WinKeyResult(result)) {
    case WinKeyResult::Success: return QStringLiteral("WK Success!");
    case WinKeyResult::NoEchoResponse: return QStringLiteral("No Echo Response");
    case WinKeyResult::EchoMismatch: return QStringLiteral("Echo Mismatch");
    case WinKeyResult::NoOpenResponse: return QStringLiteral("No Open Response");
    case WinKeyResult::ComOpenFailed: return QStringLiteral("Com Open Failed");
    case WinKeyResult::GetComStFailed: return QStringLiteral("Get Com ST Failed");
    case WinKeyResult::SetComStFailed: return QStringLiteral("Set Com ST Failed");
    case WinKeyResult::AlreadyOpen: return QStringLiteral("WK Already Open");
    case WinKeyResult::NotOpen: return QStringLiteral("WK Not Open");
    }
    return {};
}

WinKeyerByte decodeWinKeyerByte(quint8 byte) {
    if ((byte & 0xC0) == 0xC0) {
        return {WinKeyerByte::Kind::Status, quint8(byte & 0x3F)};
    }
    if ((byte & 0xC0) == 0x80) {
        return {WinKeyerByte::Kind::SpeedPot, quint8(byte & 0x3F)};
    }
    return {WinKeyerByte::Kind::Echo, byte};
}

HostWinKeyer::HostWinKeyer(SerialPort& port, Timing timing, QObject* parent)
    : WinKeyer(parent), m_port(port), m_timing(timing), m_stepTimer(new QTimer(this)),
      m_poll(new QTimer(this)) {
    m_stepTimer->setSingleShot(true);
    connect(m_stepTimer, &QTimer::timeout, this, &HostWinKeyer::stepTimedOut);
    m_poll->setInterval(m_timing.statusPollMs);
    connect(m_poll, &QTimer::timeout, this, [this] {
        if (m_open && m_given > m_echoed) {
            command(QByteArray(1, '\x15')); // status request: the keyer answers with its status
        } else {
            m_poll->stop();
        }
    });
    connect(&m_port, &SerialPort::readyRead, this, &HostWinKeyer::readBytes);
    connect(&m_port, &SerialPort::errorOccurred, this, &HostWinKeyer::lost);
}

HostWinKeyer::~HostWinKeyer() {
    m_port.disconnect(this);
    if (m_open) {
        wk_close();
    }
}

bool HostWinKeyer::wk_open(int portNumber) {
    if (m_open) {
        QTimer::singleShot(0, this, [this] { Q_EMIT opened(int(WinKeyResult::AlreadyOpen), m_version); });
        return true;
    }
    if (opening()) {
        return false;
    }
    m_version = 0;
    m_given = m_echoed = 0;
    m_busy = m_xoff = false;
    if (!m_port.open(portNumber, QStringLiteral("1200,N,8,2"), Handshake::None)) {
        qCInfo(lcWinKeyer) << "open failed:" << m_port.errorString();
        m_step = Step::Version; // reported on the next turn, like every other outcome
        QTimer::singleShot(0, this, [this] { finishOpen(WinKeyResult::ComOpenFailed); });
        return true;
    }
    // Some keyers take their power from DTR; a port without modem lines keeps going.
    m_port.setDtr(true);
    m_port.setRts(false);
    m_step = Step::Settling;
    m_stepTimer->start(m_timing.settleMs);
    return true;
}

void HostWinKeyer::stepTimedOut() {
    switch (m_step) {
    case Step::Settling:
        m_port.readAll(); // whatever the keyer said while waking is not an answer
        m_step = Step::Echo;
        command(QByteArray("\x13\x13\x13\x00\x04", 5) + char(m_echoProbe));
        m_stepTimer->start(m_timing.answerMs);
        break;
    case Step::Echo: finishOpen(WinKeyResult::NoEchoResponse); break;
    case Step::Version: finishOpen(WinKeyResult::NoOpenResponse); break;
    case Step::Idle: break;
    }
}

void HostWinKeyer::finishOpen(WinKeyResult result) {
    m_stepTimer->stop();
    m_step = Step::Idle;
    m_open = result == WinKeyResult::Success;
    if (!m_open) {
        m_version = 0;
        m_port.close();
    }
    Q_EMIT opened(int(result), m_version);
}

void HostWinKeyer::readBytes() {
    const QByteArray bytes = m_port.readAll();
    for (const char c : bytes) {
        const auto byte = quint8(c);
        if ((m_step == Step::Echo || m_step == Step::Version) && byte >= 0x80) {
            // A status or speed-pot byte from a keyer still in host mode (the program
            // ended without closing it) is neither the echo nor a version.
            continue;
        }
        if (m_step == Step::Echo) {
            if (byte == m_echoProbe) {
                m_step = Step::Version;
                command(QByteArray("\x00\x02", 2)); // host open: answered by the version
                m_stepTimer->start(m_timing.answerMs);
            } else {
                finishOpen(WinKeyResult::EchoMismatch);
                return;
            }
        } else if (m_step == Step::Version) {
            m_version = byte;
            finishOpen(WinKeyResult::Success);
        } else if (m_open) {
            handleUnsolicited(byte);
        }
    }
}

void HostWinKeyer::handleUnsolicited(quint8 byte) {
    const WinKeyerByte decoded = decodeWinKeyerByte(byte);
    switch (decoded.kind) {
    case WinKeyerByte::Kind::Status:
        m_busy = decoded.value & kWkBusy;
        m_xoff = decoded.value & kWkXoff;
        if (!m_busy && !m_xoff &&
            (!m_lastGive.isValid() || m_lastGive.elapsed() > kIdleAfterGiveMs)) {
            m_given = m_echoed = 0; // idle: everything handed over has been sent
        }
        break;
    case WinKeyerByte::Kind::SpeedPot: Q_EMIT speedPotMoved(decoded.value); break;
    case WinKeyerByte::Kind::Echo:
        if (m_echoed < m_given) {
            ++m_echoed;
        }
        Q_EMIT characterEchoed(QChar(decoded.value));
        break;
    }
    Q_EMIT statusChanged();
}

void HostWinKeyer::lost(const QString& description) {
    const bool wasOpening = opening();
    const bool wasOpen = m_open;
    m_open = false;
    m_given = m_echoed = 0;
    m_poll->stop();
    if (wasOpening) {
        finishOpen(WinKeyResult::ComOpenFailed);
    } else if (wasOpen) {
        m_version = 0;
        Q_EMIT linkLost(description);
        Q_EMIT statusChanged();
    }
}

int HostWinKeyer::command(const QByteArray& bytes) {
    if (!m_port.isOpen()) {
        return int(WinKeyResult::NotOpen);
    }
    return m_port.write(bytes) == bytes.size() ? int(WinKeyResult::Success)
                                               : int(WinKeyResult::NotOpen);
}

int HostWinKeyer::wk_close() {
    m_stepTimer->stop();
    m_step = Step::Idle;
    if (m_open) {
        command(QByteArray("\x00\x03", 2)); // host close
        m_port.flush();
    }
    m_open = false;
    m_version = 0;
    m_given = m_echoed = 0;
    m_poll->stop();
    m_port.close();
    return int(WinKeyResult::Success);
}

int HostWinKeyer::wk_char(quint8 character) {
    if (!m_open) {
        return int(WinKeyResult::NotOpen);
    }
    if (character < 0x20) {
        return int(WinKeyResult::Success); // would be a command, not a character
    }
    const int result = command(QByteArray(1, char(character)));
    ++m_given;
    m_lastGive.start();
    if (!m_poll->isActive()) {
        m_poll->start();
    }
    Q_EMIT statusChanged();
    return result;
}

int HostWinKeyer::wk_clearbuf() {
    m_given = m_echoed = 0;
    m_busy = m_xoff = false; // an emptied buffer is below any XOFF mark
    Q_EMIT statusChanged();
    return m_open ? command(QByteArray(1, '\x0A')) : int(WinKeyResult::NotOpen);
}

int HostWinKeyer::wk_getstatus() {
    if (!m_open) {
        return 0;
    }
    const int pending = m_given - m_echoed;
    return m_xoff ? std::max(pending, kXoffPending) : pending;
}

int HostWinKeyer::wk_backspace() {
    if (m_given > m_echoed) {
        --m_given;
    }
    Q_EMIT statusChanged();
    return m_open ? command(QByteArray(1, '\x08')) : int(WinKeyResult::NotOpen);
}

int HostWinKeyer::wk_wpm(quint8 wpm) {
    return m_open ? command(QByteArray("\x02", 1) + char(wpm)) : int(WinKeyResult::NotOpen);
}

int HostWinKeyer::wk_weight(quint8 weight) {
    return m_open ? command(QByteArray("\x03", 1) + char(weight)) : int(WinKeyResult::NotOpen);
}

int HostWinKeyer::wk_ptt_leadtail(quint8 leadIn, quint8 tail) {
    return m_open ? command(QByteArray("\x04", 1) + char(leadIn) + char(tail))
                  : int(WinKeyResult::NotOpen);
}

int HostWinKeyer::wk_ditdah_ratio(quint8 ratio) {
    return m_open ? command(QByteArray("\x17", 1) + char(ratio)) : int(WinKeyResult::NotOpen);
}

int HostWinKeyer::wk_pincfg(quint8 pins) {
    return m_open ? command(QByteArray("\x09", 1) + char(pins)) : int(WinKeyResult::NotOpen);
}

int HostWinKeyer::wk_setmode(quint8 mode) {
    return m_open ? command(QByteArray("\x0E", 1) + char(mode | kEchoBack))
                  : int(WinKeyResult::NotOpen);
}

} // namespace ditlog
