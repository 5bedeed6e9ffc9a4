// Control-line keying by ioctl and through the parallel port.
#include "platform/KeyingLine.h"

#include "platform/EmergencyKeyUp.h"
#include "platform/ParallelPort.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace ditlog {

void SerialControlLine::attach(int fd) {
    std::lock_guard lock(m_mutex);
    m_fd = fd;
}

void SerialControlLine::detach() {
    std::lock_guard lock(m_mutex);
    if (m_fd >= 0) {
        setLocked(false);
    }
    m_fd = -1;
}

bool SerialControlLine::attached() const {
    std::lock_guard lock(m_mutex);
    return m_fd >= 0;
}

void SerialControlLine::setSignal(Signal signal) {
    std::lock_guard lock(m_mutex);
    if (signal != m_signal && m_fd >= 0) {
        setLocked(false); // the line given up stays key-up
    }
    m_signal = signal;
}

bool SerialControlLine::setKeyDown(bool down) noexcept {
    std::lock_guard lock(m_mutex);
    return setLocked(down);
}

bool SerialControlLine::released() const noexcept {
    std::lock_guard lock(m_mutex);
    return m_fd < 0;
}

bool SerialControlLine::setLocked(bool down) noexcept {
    if (m_fd < 0) {
        return false;
    }
#ifdef Q_OS_UNIX
    const emergency::KeyingWrite guard(down);
    int bits = m_signal == Signal::Dtr ? TIOCM_DTR : TIOCM_RTS;
    return ::ioctl(m_fd, down ? TIOCMBIS : TIOCMBIC, &bits) == 0;
#else
    Q_UNUSED(down);
    return false;
#endif
}

void ParallelControlLine::attach() { m_session = m_port.session(); }

bool ParallelControlLine::setKeyDown(bool down) noexcept {
    return m_port.writeControlInSession(down ? ParallelPort::kKeyDownControl
                                             : ParallelPort::kRestingControl,
                                        m_session.load());
}

bool ParallelControlLine::released() const noexcept {
    const quint64 session = m_session.load();
    return session == 0 || session != m_port.session();
}

HardwareKeyingOutputs::HardwareKeyingOutputs(ParallelPort& parallel)
    : m_parallel(parallel), m_parallelLine(parallel) {}

HardwareKeyingOutputs::~HardwareKeyingOutputs() {
    m_serial.detach();
    closeParallel();
}

bool HardwareKeyingOutputs::attachSerial(int fd, SerialControlLine::Signal signal, QString* error) {
    m_serial.detach();
#ifdef Q_OS_UNIX
    int bits = TIOCM_DTR | TIOCM_RTS;
    if (fd < 0 || ::ioctl(fd, TIOCMBIC, &bits) != 0) {
        if (error != nullptr) {
            *error = QString::fromLocal8Bit(std::strerror(fd < 0 ? EBADF : errno));
        }
        return false;
    }
    m_serial.setSignal(signal);
    m_serial.attach(fd);
    return true;
#else
    Q_UNUSED(fd);
    Q_UNUSED(signal);
    if (error != nullptr) {
        *error = QStringLiteral("Control-line keying is not supported on this system.");
    }
    return false;
#endif
}

bool HardwareKeyingOutputs::openParallel(int baseAddress, QString* error) {
    if (!(m_parallel.isOpen() && m_parallel.baseAddress() == baseAddress) &&
        !m_parallel.open(baseAddress)) { // opening sets the resting value
        m_parallelLine.detach();
        if (error != nullptr) {
            *error = m_parallel.errorString();
        }
        return false;
    }
    m_parallelLine.attach();
    return true;
}

void HardwareKeyingOutputs::closeParallel() {
    m_parallelLine.detach();
    if (m_parallel.isOpen()) {
        m_parallel.close(); // rests the key and lets go in one step
    }
}

bool HardwareKeyingOutputs::parallelOpenAt(int baseAddress) const {
    return m_parallel.isOpen() && m_parallel.baseAddress() == baseAddress;
}

} // namespace ditlog
