// Opening the CAT port: number, handshake, settings text, the lines low and then the
// connection-power line raised when asked.
#include "rig/SerialRigTransport.h"

#include "platform/DataPortLines.h"
#include "platform/SerialPort.h"
#include "rig/RigFamily.h"
#include "rig/RigSettings.h"

namespace ditlog {

SerialRigTransport::SerialRigTransport(SerialPort& port, QObject* parent)
    : RigTransport(parent), m_port(port) {
    connect(&m_port, &SerialPort::readyRead, this, &RigTransport::readyRead);
    connect(&m_port, &SerialPort::allSent, this, &RigTransport::drained);
    connect(&m_port, &SerialPort::errorOccurred, this, &RigTransport::failed);
}

bool SerialRigTransport::open(const RigSettings& settings, const RigFamily& family) {
    m_port.close();
    const QString text = settings.joinedPortSettings();
    const Handshake handshake = family.hardwareHandshake ? Handshake::RtsCts : Handshake::None;
    if (!m_port.open(settings.portNumber, text, handshake)) {
        m_error = m_port.errorString();
        return false;
    }
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
    if (!family.hardwareHandshake) {
        m_port.setRts(false);
    }
    if (settings.power == QLatin1String("R") && !family.hardwareHandshake &&
        !keys(SerialControlLine::Signal::Rts)) {
        m_port.setRts(true);
    } else if (settings.power == QLatin1String("D") && !keys(SerialControlLine::Signal::Dtr)) {
        m_port.setDtr(true);
    }
    return true;
}

void SerialRigTransport::close() {
    m_port.close();
}

bool SerialRigTransport::isOpen() const {
    return m_port.isOpen();
}

bool SerialRigTransport::write(const QByteArray& bytes) {
    if (m_port.write(bytes) < 0) {
        m_error = m_port.errorString();
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
    return m_port.devicePath();
}

} // namespace ditlog
