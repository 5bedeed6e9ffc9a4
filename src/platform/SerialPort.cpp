// QSerialPort behind the SerialPort interface, and the settings text.
#include "platform/SerialPort.h"

#include "platform/PortMap.h"

#include <QLoggingCategory>
#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

Q_LOGGING_CATEGORY(lcSerial, "ditlog.serial", QtWarningMsg)

namespace ditlog {

std::optional<SerialSettings> parseSerialSettings(const QString& text) {
    const QStringList items = text.split(QLatin1Char(','));
    if (items.size() != 4) {
        return std::nullopt;
    }
    SerialSettings s;
    bool ok = false;
    s.baud = items.at(0).trimmed().toInt(&ok);
    if (!ok || s.baud <= 0) {
        return std::nullopt;
    }
    const QString parity = items.at(1).trimmed().toUpper();
    if (parity == QLatin1String("N")) {
        s.parity = SerialParity::None;
    } else if (parity == QLatin1String("E")) {
        s.parity = SerialParity::Even;
    } else if (parity == QLatin1String("O")) {
        s.parity = SerialParity::Odd;
    } else if (parity == QLatin1String("M")) {
        s.parity = SerialParity::Mark;
    } else if (parity == QLatin1String("S")) {
        s.parity = SerialParity::Space;
    } else {
        return std::nullopt;
    }
    s.dataBits = items.at(2).trimmed().toInt(&ok);
    if (!ok || s.dataBits < 5 || s.dataBits > 8) {
        return std::nullopt;
    }
    const QString stop = items.at(3).trimmed();
    if (stop == QLatin1String("1")) {
        s.stopBits = SerialStopBits::One;
    } else if (stop == QLatin1String("1.5")) {
        s.stopBits = SerialStopBits::OneAndHalf;
    } else if (stop == QLatin1String("2")) {
        s.stopBits = SerialStopBits::Two;
    } else {
        return std::nullopt;
    }
    return s;
}

QString serialSettingsText(const SerialSettings& s) {
    static const char parities[] = {'N', 'E', 'O', 'M', 'S'};
    static const char* stops[] = {"1", "1.5", "2"};
    return QStringLiteral("%1,%2,%3,%4")
        .arg(s.baud)
        .arg(QLatin1Char(parities[int(s.parity)]))
        .arg(s.dataBits)
        .arg(QLatin1String(stops[int(s.stopBits)]));
}

QtSerialPort::QtSerialPort(const PortMap& map, QObject* parent)
    : SerialPort(parent), m_map(map), m_port(new QSerialPort(this)) {
    m_port->setReadBufferSize(kReadBufferBytes);
    connect(m_port, &QSerialPort::readyRead, this, &SerialPort::readyRead);
    connect(m_port, &QSerialPort::bytesWritten, this, [this](qint64 bytes) {
        const qint64 left = m_port->bytesToWrite();
        Q_EMIT bytesWritten(bytes, left);
        if (left == 0) {
            Q_EMIT allSent();
        }
    });
    connect(m_port, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError e) { handleError(int(e)); });
}

QtSerialPort::~QtSerialPort() {
    // No signals from a half-destroyed object: just let the device go.
    m_port->disconnect(this);
    if (m_port->isOpen()) {
        m_port->close();
    }
}

bool QtSerialPort::open(int portNumber, const QString& settings, Handshake handshake) {
    close();
    m_error.clear();
    const QString path = m_map.devicePath(portNumber);
    if (path.isEmpty()) {
        m_error = QStringLiteral("Port %1 is not a serial port number.").arg(portNumber);
        return false;
    }
    std::optional<SerialSettings> parsed = SerialSettings{};
    if (!settings.trimmed().isEmpty()) {
        parsed = parseSerialSettings(settings);
        if (!parsed) {
            m_error = QStringLiteral("Invalid settings \"%1\".").arg(settings);
            return false;
        }
    }
    m_port->setPortName(path);
    if (!applySettings(*parsed)) {
        return false;
    }
    m_port->setFlowControl(handshake == Handshake::RtsCts    ? QSerialPort::HardwareControl
                           : handshake == Handshake::XonXoff ? QSerialPort::SoftwareControl
                                                             : QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_error = QStringLiteral("%1: %2").arg(path, m_port->errorString());
        m_port->clearError();
        qCInfo(lcSerial) << "open failed" << m_error;
        return false;
    }
    m_port->clearError();
    m_portNumber = portNumber;
    m_devicePath = path;
    qCDebug(lcSerial) << "opened" << portNumber << path << settings;
    return true;
}

void QtSerialPort::close() {
    if (!m_port->isOpen()) {
        m_portNumber = 0;
        return;
    }
    Q_EMIT aboutToClose();
    m_port->close();
    m_port->clearError();
    m_portNumber = 0;
}

bool QtSerialPort::isOpen() const { return m_port->isOpen(); }

QString QtSerialPort::devicePath() const { return isOpen() ? m_devicePath : QString(); }

bool QtSerialPort::applySettings(const SerialSettings& s) {
    static const QSerialPort::Parity parities[] = {QSerialPort::NoParity, QSerialPort::EvenParity,
                                                   QSerialPort::OddParity, QSerialPort::MarkParity,
                                                   QSerialPort::SpaceParity};
    static const QSerialPort::StopBits stops[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                                  QSerialPort::TwoStop};
    const bool ok = m_port->setBaudRate(s.baud) &&
                    m_port->setDataBits(QSerialPort::DataBits(s.dataBits)) &&
                    m_port->setParity(parities[int(s.parity)]) &&
                    m_port->setStopBits(stops[int(s.stopBits)]);
    if (!ok) {
        m_error = m_port->errorString();
        m_port->clearError();
    }
    return ok;
}

bool QtSerialPort::setSettings(const QString& settings) {
    const std::optional<SerialSettings> parsed = parseSerialSettings(settings);
    if (!parsed) {
        m_error = QStringLiteral("Invalid settings \"%1\".").arg(settings);
        return false;
    }
    return applySettings(*parsed);
}

bool QtSerialPort::setHandshake(Handshake handshake) {
    const bool ok = m_port->setFlowControl(handshake == Handshake::RtsCts ? QSerialPort::HardwareControl
                                           : handshake == Handshake::XonXoff
                                               ? QSerialPort::SoftwareControl
                                               : QSerialPort::NoFlowControl);
    if (!ok) {
        m_error = m_port->errorString();
        m_port->clearError();
    }
    return ok;
}

bool QtSerialPort::setDtr(bool on) {
    if (!m_port->isOpen()) {
        m_error = QStringLiteral("The port is not open.");
        return false;
    }
    const bool ok = m_port->setDataTerminalReady(on);
    if (!ok) {
        m_error = m_port->errorString();
        m_port->clearError();
    }
    return ok;
}

bool QtSerialPort::setRts(bool on) {
    if (!m_port->isOpen()) {
        m_error = QStringLiteral("The port is not open.");
        return false;
    }
    const bool ok = m_port->setRequestToSend(on);
    if (!ok) {
        m_error = m_port->errorString();
        m_port->clearError();
    }
    return ok;
}

qint64 QtSerialPort::write(const QByteArray& bytes) {
    if (!m_port->isOpen()) {
        m_error = QStringLiteral("The port is not open.");
        return -1;
    }
    return m_port->write(bytes);
}

QByteArray QtSerialPort::readAll() { return m_port->isOpen() ? m_port->readAll() : QByteArray(); }

qint64 QtSerialPort::bytesToWrite() const {
    if (!m_port->isOpen()) {
        return 0;
    }
    qint64 pending = m_port->bytesToWrite();
#ifdef Q_OS_UNIX
    int queued = 0;
    if (::ioctl(int(m_port->handle()), TIOCOUTQ, &queued) == 0 && queued > 0) {
        pending += queued;
    }
#endif
    return pending;
}

void QtSerialPort::clearBuffers() {
    if (m_port->isOpen()) {
        m_port->clear(QSerialPort::AllDirections);
    }
}

bool QtSerialPort::flush() { return m_port->isOpen() && m_port->flush(); }

int QtSerialPort::nativeHandle() const { return m_port->isOpen() ? int(m_port->handle()) : -1; }

void QtSerialPort::handleError(int error) {
    switch (QSerialPort::SerialPortError(error)) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        if (m_port->isOpen()) {
            fail(m_port->errorString());
        }
        break;
    default:
        // Refused settings and line changes are reported by the call that made them.
        break;
    }
}

void QtSerialPort::fail(const QString& text) {
    m_error = QStringLiteral("%1: %2").arg(m_devicePath, text);
    qCInfo(lcSerial) << "port failed" << m_error;
    close();
    Q_EMIT errorOccurred(m_error);
}

} // namespace ditlog
