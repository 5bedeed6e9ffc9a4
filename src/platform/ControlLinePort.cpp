// Control lines of a serial port at zero speed.
#include "platform/ControlLinePort.h"

#include "platform/EmergencyKeyUp.h"
#include "platform/PortMap.h"

#include <QLoggingCategory>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

Q_DECLARE_LOGGING_CATEGORY(lcSerial)

namespace ditlog {

ControlLinePort::ControlLinePort(const PortMap& map, QObject* parent) : SerialPort(parent), m_map(map) {}

ControlLinePort::~ControlLinePort() {
    blockSignals(true); // no signals from a half-destroyed object
    close();
}

QString ControlLinePort::systemError(const QString& what) const {
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

bool ControlLinePort::open(int portNumber, const QString& settings, Handshake handshake) {
    Q_UNUSED(settings);
    Q_UNUSED(handshake);
    close();
    m_error.clear();
    const QString path = m_map.devicePath(portNumber);
    if (path.isEmpty()) {
        m_error = QStringLiteral("Port %1 is not a serial port number.").arg(portNumber);
        return false;
    }
#ifdef Q_OS_UNIX
    const QByteArray name = path.toLocal8Bit();
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_error = systemError(path);
        qCInfo(lcSerial) << "open failed" << m_error;
        return false;
    }
    // First of all, both lines down (a device without modem lines refuses; the keying
    // line finds that out when it attaches).
    int bits = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &bits);
    if (::ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY) {
        m_error = systemError(path);
        ::close(fd);
        return false;
    }
    // Zero speed from now on; HUPCL drops the lines if the descriptor closes unexpectedly.
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | HUPCL;
        tio.c_cflag &= ~CRTSCTS;
        cfsetispeed(&tio, B0);
        cfsetospeed(&tio, B0);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    m_fd = fd;
    m_portNumber = portNumber;
    m_devicePath = path;
    m_emergencySlot = emergency::watch(emergency::Output::Serial, fd);
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ControlLinePort::readAndDrop);
    qCDebug(lcSerial) << "opened for its control lines" << portNumber << path;
    return true;
#else
    m_error = QStringLiteral("Control lines are not supported on this system.");
    return false;
#endif
}

void ControlLinePort::close() {
    if (m_fd < 0) {
        m_portNumber = 0;
        return;
    }
    Q_EMIT aboutToClose();
    delete m_notifier;
    m_notifier = nullptr;
#ifdef Q_OS_UNIX
    int bits = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(m_fd, TIOCMBIC, &bits);
    emergency::unwatch(m_emergencySlot);
    m_emergencySlot = -1;
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd); // the speed stays zero: the next opening raises no line
#endif
    m_fd = -1;
    m_portNumber = 0;
}

void ControlLinePort::readAndDrop() {
#ifdef Q_OS_UNIX
    char bytes[256];
    const ssize_t got = ::read(m_fd, bytes, sizeof bytes);
    if (got > 0 || (got < 0 && (errno == EAGAIN || errno == EINTR))) {
        return; // the lines carry the meaning here, not the data
    }
    // End of file or an error: the device hung up.
    m_error = got == 0 ? QStringLiteral("%1: the device hung up").arg(m_devicePath) : systemError(m_devicePath);
    qCInfo(lcSerial) << "port failed" << m_error;
    close();
    Q_EMIT errorOccurred(m_error);
#endif
}

bool ControlLinePort::setSettings(const QString& settings) {
    if (!parseSerialSettings(settings)) {
        m_error = QStringLiteral("Invalid settings \"%1\".").arg(settings);
        return false;
    }
    return true;
}

bool ControlLinePort::setHandshake(Handshake) { return true; }

bool ControlLinePort::setLine(int bit, bool on) {
    if (m_fd < 0) {
        m_error = QStringLiteral("The port is not open.");
        return false;
    }
#ifdef Q_OS_UNIX
    const emergency::KeyingWrite guard(on);
    if (::ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bit) != 0) {
        m_error = systemError(m_devicePath);
        return false;
    }
    return true;
#else
    Q_UNUSED(bit);
    Q_UNUSED(on);
    return false;
#endif
}

bool ControlLinePort::setDtr(bool on) { return setLine(TIOCM_DTR, on); }

bool ControlLinePort::setRts(bool on) { return setLine(TIOCM_RTS, on); }

qint64 ControlLinePort::write(const QByteArray&) {
    m_error = QStringLiteral("This port carries control lines only.");
    return -1;
}

} // namespace ditlog
