// Control-line keying by ioctl and through the parallel port.
#include "platform/KeyingLine.h"

#include "platform/ParallelPort.h"

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

bool SerialControlLine::setLocked(bool down) noexcept {
    if (m_fd < 0) {
        return false;
    }
#ifdef Q_OS_UNIX
    int bits = m_signal == Signal::Dtr ? TIOCM_DTR : TIOCM_RTS;
    return ::ioctl(m_fd, down ? TIOCMBIS : TIOCMBIC, &bits) == 0;
#else
    Q_UNUSED(down);
    return false;
#endif
}

bool ParallelControlLine::setKeyDown(bool down) noexcept {
    return m_port.writeControl(down ? kKeyDown : kKeyUp);
}

} // namespace ditlog
