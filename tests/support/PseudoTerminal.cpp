// openpty-based far end of a serial port.
#include "PseudoTerminal.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace ditlog::testing {

PseudoTerminal::PseudoTerminal(QObject* parent) : QObject(parent) { openPair(); }

PseudoTerminal::PseudoTerminal(const QString& stableName, QObject* parent)
    : QObject(parent), m_stableName(stableName) {
    openPair();
}

bool PseudoTerminal::plugIn() {
    hangUp();
    return openPair();
}

bool PseudoTerminal::openPair() {
    char name[128] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_master = m_slave = -1;
        return false;
    }
    m_path = QString::fromLocal8Bit(name);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PseudoTerminal::readMaster);
    if (!m_stableName.isEmpty()) {
        const QByteArray link = QFile::encodeName(m_stableName);
        ::unlink(link.constData());
        if (::symlink(name, link.constData()) != 0) {
            hangUp();
            return false;
        }
    }
    return true;
}

PseudoTerminal::~PseudoTerminal() { hangUp(); }

void PseudoTerminal::send(const QByteArray& bytes) {
    qsizetype done = 0;
    while (m_master >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break; // the program's side is full or gone: the rest is lost, as on a wire
        }
        done += n;
    }
}

QByteArray PseudoTerminal::take() {
    QByteArray out;
    out.swap(m_received);
    return out;
}

void PseudoTerminal::readMaster() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            const QByteArray bytes(buffer, qsizetype(n));
            m_received += bytes;
            Q_EMIT bytesReceived(bytes);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && m_notifier != nullptr) {
            m_notifier->setEnabled(false); // EIO: nobody holds the other end
        }
        return;
    }
}

void PseudoTerminal::hangUp() {
    if (!m_stableName.isEmpty()) {
        ::unlink(QFile::encodeName(m_stableName).constData());
    }
    delete m_notifier;
    m_notifier = nullptr;
    if (m_slave >= 0) {
        ::close(m_slave);
        m_slave = -1;
    }
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}

} // namespace ditlog::testing
