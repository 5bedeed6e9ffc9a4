// Keying lines on a port opened for data by another user.
#include "platform/DataPortLines.h"

#include "platform/EmergencyKeyUp.h"
#include "platform/SerialPort.h"

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace ditlog {

namespace {
#ifdef Q_OS_UNIX
int bitOf(SerialControlLine::Signal signal) {
    return signal == SerialControlLine::Signal::Dtr ? TIOCM_DTR : TIOCM_RTS;
}
#endif
} // namespace

DataPortLines::DataPortLines(SerialPort& port, QObject* parent) : QObject(parent), m_port(port) {
    // Whoever closes the port (its owner, a failure), the lines let go first.
    connect(&m_port, &SerialPort::aboutToClose, this, &DataPortLines::detach);
}

DataPortLines::~DataPortLines() {
    for (SerialControlLine& line : m_lines) {
        line.detach();
    }
    emergency::unwatch(m_emergencySlot);
}

QString DataPortLines::name(Signal signal) {
    return signal == Signal::Dtr ? QStringLiteral("DTR") : QStringLiteral("RTS");
}

bool DataPortLines::inUse(Signal signal) const {
    for (const auto& use : m_use) {
        if (use == signal) {
            return true;
        }
    }
    return false;
}

void DataPortLines::setUse(User user, std::optional<Signal> signal) {
    SerialControlLine& line = m_lines[index(user)];
    if (m_use[index(user)] == signal) {
        return;
    }
    m_use[index(user)] = signal;
    if (!signal) {
        line.detach(); // keyed up, and refuses from now on
        watchForEmergency();
        return;
    }
    line.setSignal(*signal); // the line given up stays key-up
    if (m_fd >= 0 && !line.attached()) {
#ifdef Q_OS_UNIX
        int bits = bitOf(*signal);
        ::ioctl(m_fd, TIOCMBIC, &bits);
#endif
        line.attach(m_fd);
    }
    watchForEmergency();
}

void DataPortLines::attach() {
    const int fd = m_port.nativeHandle();
    if (fd < 0) {
        return;
    }
    m_fd = fd;
#ifdef Q_OS_UNIX
    int bits = 0;
    for (const auto& use : m_use) {
        if (use) {
            bits |= bitOf(*use);
        }
    }
    if (bits != 0) {
        ::ioctl(fd, TIOCMBIC, &bits); // a device without modem lines refuses: no fault here
    }
#endif
    for (int i = 0; i < int(m_lines.size()); ++i) {
        if (m_use[std::size_t(i)]) {
            m_lines[std::size_t(i)].attach(fd);
        }
    }
    watchForEmergency();
}

void DataPortLines::detach() {
    if (m_fd < 0) {
        return;
    }
    for (SerialControlLine& line : m_lines) {
        line.detach();
    }
    m_fd = -1;
    watchForEmergency();
    Q_EMIT released();
}

void DataPortLines::watchForEmergency() {
    const bool keyed = m_fd >= 0 && (m_use[0] || m_use[1]);
    if (keyed && m_emergencySlot < 0) {
        m_emergencySlot = emergency::watch(emergency::Output::Serial, m_fd);
    } else if (!keyed && m_emergencySlot >= 0) {
        emergency::unwatch(m_emergencySlot);
        m_emergencySlot = -1;
    }
}

} // namespace ditlog
