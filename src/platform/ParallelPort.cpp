// ppdev parallel port and the base-address rule.
#include "platform/ParallelPort.h"

#include "platform/EmergencyKeyUp.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace ditlog {

int parallelAddressValue(const QString& text) {
    const QString t = text.trimmed().toUpper();
    int base = 10;
    int start = 0;
    if (t.startsWith(QLatin1String("&H")) || t.startsWith(QLatin1String("0X"))) {
        base = 16;
        start = 2;
    } else if (t.startsWith(QLatin1String("&O"))) {
        base = 8;
        start = 2;
    }
    qint64 value = 0;
    for (int i = start; i < t.size(); ++i) {
        const char16_t c = t.at(i).unicode();
        const int digit = c >= u'0' && c <= u'9'   ? c - u'0'
                          : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                   : 99;
        if (digit >= base) {
            break;
        }
        value = value * base + digit;
        if (value > 0xFFFF) {
            return 0; // beyond any port address
        }
    }
    return int(value);
}

int parallelPortNumberForBase(int baseAddress, const QString& procRoot) {
    const QDir root(procRoot);
    for (const QString& name : root.entryList({QStringLiteral("parport*")}, QDir::Dirs)) {
        bool numbered = false;
        const int n = name.mid(7).toInt(&numbered);
        QFile file(root.filePath(name + QStringLiteral("/base-addr")));
        if (!numbered || !file.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QList<QByteArray> items = file.readAll().simplified().split(' ');
        bool ok = false;
        if (!items.isEmpty() && items.first().toInt(&ok) == baseAddress && ok) {
            return n;
        }
    }
    if (baseAddress == 0x378) {
        return 0;
    }
    if (baseAddress == 0x278) {
        return 1;
    }
    return -1;
}

PpdevParallelPort::PpdevParallelPort(QString procRoot, QString deviceStem)
    : m_procRoot(std::move(procRoot)), m_deviceStem(std::move(deviceStem)) {}

PpdevParallelPort::~PpdevParallelPort() { close(); }

bool PpdevParallelPort::open(int baseAddress) {
    std::lock_guard lock(m_mutex);
    closeLocked();
    const int n = parallelPortNumberForBase(baseAddress, m_procRoot);
    if (n < 0) {
        m_error = QStringLiteral("No parallel port at address &H%1.").arg(baseAddress, 0, 16);
        return false;
    }
#ifdef Q_OS_LINUX
    const QByteArray path = (m_deviceStem + QString::number(n)).toLocal8Bit();
    const auto fail = [&](int fd) {
        m_error = QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(path),
                                               QString::fromLocal8Bit(std::strerror(errno)));
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    };
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return fail(fd);
    }
    if (::ioctl(fd, PPCLAIM) != 0) {
        return fail(fd);
    }
    m_fd = fd;
    m_base = baseAddress;
    m_session = ++m_openings;
    m_error.clear();
    m_emergencySlot = emergency::watch(emergency::Output::Parallel, fd, kRestingControl);
    writeLocked(kRestingControl);
    return true;
#else
    m_error = QStringLiteral("Parallel ports are not supported on this system.");
    return false;
#endif
}

void PpdevParallelPort::close() {
    std::lock_guard lock(m_mutex);
    closeLocked();
}

void PpdevParallelPort::closeLocked() {
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        // The register keeps its value after release: leave it resting.
        writeLocked(kRestingControl);
        emergency::unwatch(m_emergencySlot);
        m_emergencySlot = -1;
        ::ioctl(m_fd, PPRELEASE);
        ::close(m_fd);
    }
#endif
    m_fd = -1;
    m_base = 0;
    m_session = 0;
}

bool PpdevParallelPort::isOpen() const {
    std::lock_guard lock(m_mutex);
    return m_fd >= 0;
}

quint64 PpdevParallelPort::session() const {
    std::lock_guard lock(m_mutex);
    return m_session;
}

bool PpdevParallelPort::writeControl(quint8 value) noexcept {
    std::lock_guard lock(m_mutex);
    return writeLocked(value);
}

bool PpdevParallelPort::writeControlInSession(quint8 value, quint64 session) noexcept {
    std::lock_guard lock(m_mutex);
    return session != 0 && session == m_session && writeLocked(value);
}

bool PpdevParallelPort::writeLocked(quint8 value) noexcept {
#ifdef Q_OS_LINUX
    if (m_fd < 0) {
        return false;
    }
    bool down = (value & 1) != (kRestingControl & 1);
    const emergency::KeyingWrite guard(down);
    unsigned char byte = down ? value : quint8((value & ~1) | (kRestingControl & 1));
    return ::ioctl(m_fd, PPWCONTROL, &byte) == 0;
#else
    Q_UNUSED(value);
    return false;
#endif
}

QString PpdevParallelPort::errorString() const {
    std::lock_guard lock(m_mutex);
    return m_error;
}

} // namespace ditlog
