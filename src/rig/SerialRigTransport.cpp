// Opening the CAT port: number, handshake, settings text, the lines low and then the
// connection-power line raised when asked; and opening it again after it went away.
#include "rig/SerialRigTransport.h"

#include "platform/DataPortLines.h"
#include "platform/SerialPort.h"
#include "rig/RigFamily.h"
#include "rig/RigLogging.h"

namespace ditlog {

SerialRigTransport::SerialRigTransport(SerialPort& port, QObject* parent)
    : RigTransport(parent), m_port(port), m_recovery(LinkRecovery::kDevicePauses) {
    connectPort();
}

SerialRigTransport::SerialRigTransport(SerialPort& port, TimerClock& clock, QObject* parent)
    : RigTransport(parent), m_port(port), m_recovery(LinkRecovery::kDevicePauses, clock) {
    connectPort();
}

void SerialRigTransport::connectPort() {
    connect(&m_port, &SerialPort::readyRead, this, &RigTransport::readyRead);
    connect(&m_port, &SerialPort::allSent, this, &RigTransport::drained);
    connect(&m_port, &SerialPort::errorOccurred, this, &SerialRigTransport::onPortFailed);
    connect(&m_recovery, &LinkRecovery::retryDue, this, &SerialRigTransport::onRetryDue);
}

bool SerialRigTransport::open(const RigSettings& settings, const RigFamily& family) {
    m_recovery.close();
    m_port.close();
    setStatus(QString());
    m_settings = settings;
    m_hardwareHandshake = family.hardwareHandshake;
    m_recovery.opening();
    if (!openPort()) {
        m_recovery.close();
        return false;
    }
    m_recovery.opened();
    return true;
}

bool SerialRigTransport::openPort() {
    const QString text = m_settings.joinedPortSettings();
    const Handshake handshake = m_hardwareHandshake ? Handshake::RtsCts : Handshake::None;
    if (!m_port.open(m_settings.portNumber, text, handshake)) {
        m_error = m_port.errorString();
        return false;
    }
    m_error.clear();
    m_devicePath = m_port.devicePath();
    if (m_lines != nullptr) {
        m_lines->attach(); // before anything else: a line that keys must not stay raised
    }
    if (const auto parsed = parseSerialSettings(text)) {
        const int bitsPerCharacter = 1 + parsed->dataBits + (parsed->parity == SerialParity::None ? 0 : 1) +
                                     (parsed->stopBits == SerialStopBits::One ? 1 : 2);
        m_charactersPerSecond = std::max(1, parsed->baud / bitsPerCharacter);
    }
    // Both lines low, then the one that powers the interface, if any, unless it keys CW
    // or push-to-talk. Lines a device cannot set (a pseudo-terminal, RTS under hardware
    // handshake) are no fault.
    const auto keys = [this](SerialControlLine::Signal line) {
        return m_lines != nullptr && m_lines->inUse(line);
    };
    m_port.setDtr(false);
    if (!m_hardwareHandshake) {
        m_port.setRts(false);
    }
    if (m_settings.power == QLatin1String("R") && !m_hardwareHandshake &&
        !keys(SerialControlLine::Signal::Rts)) {
        m_port.setRts(true);
    } else if (m_settings.power == QLatin1String("D") && !keys(SerialControlLine::Signal::Dtr)) {
        m_port.setDtr(true);
    }
    return true;
}

void SerialRigTransport::onPortFailed(const QString& description) {
    if (m_recovery.state() != LinkState::Open) {
        return;
    }
    m_error = description;
    // The port's description names the device already.
    QString why = description;
    if (why.startsWith(m_devicePath + QLatin1String(": "))) {
        why.remove(0, m_devicePath.size() + 2);
    }
    const QString text = QStringLiteral("The radio's port %1 is gone (%2); polling goes on when it is back.")
                             .arg(m_devicePath, why);
    qCDebug(lcRig).noquote() << text;
    setStatus(text);
    m_recovery.lost(description);
    Q_EMIT lineLost(text);
}

void SerialRigTransport::onRetryDue() {
    if (!openPort()) {
        m_recovery.attemptFailed(m_error);
        return;
    }
    const QString text = QStringLiteral("The radio's port %1 is back; polling the radio.").arg(m_devicePath);
    qCDebug(lcRig).noquote() << text;
    m_recovery.opened();
    setStatus(QString());
    Q_EMIT lineRestored(text);
}

void SerialRigTransport::setStatus(const QString& status) {
    if (m_status != status) {
        m_status = status;
        Q_EMIT statusChanged(status);
    }
}

void SerialRigTransport::close() {
    m_recovery.close();
    m_port.close();
    setStatus(QString());
}

bool SerialRigTransport::isOpen() const {
    return m_port.isOpen() || m_recovery.recovering();
}

bool SerialRigTransport::isReady() const {
    return m_port.isOpen();
}

bool SerialRigTransport::write(const QByteArray& bytes) {
    if (m_port.write(bytes) < 0) {
        m_error = m_recovery.recovering() ? m_status : m_port.errorString();
        return false;
    }
    return true;
}

void SerialRigTransport::flush() {
    m_port.flush();
}

QByteArray SerialRigTransport::readAll() {
    return m_port.readAll();
}

qint64 SerialRigTransport::bytesToWrite() const {
    return m_port.bytesToWrite();
}

QString SerialRigTransport::errorString() const {
    return m_error.isEmpty() ? m_port.errorString() : m_error;
}

QString SerialRigTransport::description() const {
    return m_port.isOpen() ? m_port.devicePath() : m_devicePath;
}

} // namespace ditlog
