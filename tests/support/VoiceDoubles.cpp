// Voice test doubles.
#include "VoiceDoubles.h"

#include <QFileInfo>
#include <QtEndian>

namespace ditlog::testing {

QStringList RecordingWavePlayer::playedNames() const {
    QStringList names;
    for (const QString& path : m_played) {
        names.append(QFileInfo(path).completeBaseName());
    }
    return names;
}

bool RecordingSerialPort::open(int portNumber, const QString&, Handshake) {
    close();
    if (m_openFails || portNumber <= 0) {
        m_error = QStringLiteral("No such port.");
        return false;
    }
    m_number = portNumber;
    events.append(QStringLiteral("open %1").arg(portNumber));
    return true;
}

void RecordingSerialPort::close() {
    if (!isOpen()) {
        return;
    }
    Q_EMIT aboutToClose();
    // Closing a real port drops both lines.
    m_dtr = m_rts = false;
    m_number = 0;
    events.append(QStringLiteral("close"));
}

void RecordingSerialPort::vanish() {
    close();
    Q_EMIT errorOccurred(QStringLiteral("The device was removed."));
}

bool RecordingSerialPort::setLine(const QString& name, bool& line, bool on) {
    if (!isOpen()) {
        return false;
    }
    if (m_linesFail) {
        m_error = QStringLiteral("Inappropriate ioctl for device");
        return false;
    }
    if (line != on) {
        events.append(name + (on ? QStringLiteral(" 1") : QStringLiteral(" 0")));
    }
    line = on;
    return true;
}

QByteArray testWave(int milliseconds, int sampleRate) {
    const quint32 dataBytes = quint32(sampleRate) * quint32(milliseconds) / 1000 * 2;
    QByteArray out;
    const auto u32 = [&out](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    const auto u16 = [&out](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    out.append("RIFF");
    u32(36 + dataBytes);
    out.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(quint32(sampleRate));
    u32(quint32(sampleRate) * 2);
    u16(2);
    u16(16);
    out.append("data");
    u32(dataBytes);
    out.append(QByteArray(int(dataBytes), '\0'));
    return out;
}

} // namespace ditlog::testing
