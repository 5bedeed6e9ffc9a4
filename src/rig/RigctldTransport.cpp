// Connecting, reconnecting and the answer count of the rig daemon's line.
#include "rig/RigctldTransport.h"

#include "rig/RigLogging.h"
#include "rig/RigSettings.h"
#include "rig/RigctldProtocol.h"

#include <algorithm>

namespace ditlog {

RigctldTransport::RigctldTransport(QObject* parent) : RigTransport(parent) {
    m_connectTimer.setSingleShot(true);
    m_retryTimer.setSingleShot(true);
    m_answerTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &RigctldTransport::onConnectTimeout);
    connect(&m_retryTimer, &QTimer::timeout, this, &RigctldTransport::connectNow);
    connect(&m_answerTimer, &QTimer::timeout, this, &RigctldTransport::onAnswerTimeout);
    connect(&m_socket, &QTcpSocket::connected, this, &RigctldTransport::onConnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &RigctldTransport::onSocketError);
    connect(&m_socket, &QTcpSocket::disconnected, this, &RigctldTransport::onDisconnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &RigctldTransport::onReadyRead);
    connect(&m_socket, &QTcpSocket::bytesWritten, this, &RigctldTransport::onBytesWritten);
}

RigctldTransport::~RigctldTransport() {
    m_wanted = false;
    m_socket.disconnect(this);
    m_socket.abort();
}

QString RigctldTransport::address() const {
    // An IPv6 literal gets its brackets so that the port stays readable.
    const QString host = m_host.contains(QLatin1Char(':')) ? QLatin1Char('[') + m_host + QLatin1Char(']') : m_host;
    return QStringLiteral("%1:%2").arg(host).arg(m_port);
}

QString RigctldTransport::description() const {
    return QStringLiteral("rigctld ") + address();
}

bool RigctldTransport::open(const RigSettings& settings, const RigFamily&) {
    close();
    m_host = settings.networkHost.trimmed();
    m_port = settings.networkPort;
    if (m_host.isEmpty() || m_port == 0) {
        m_error = QStringLiteral("No rigctld host and port are set.");
        return false;
    }
    m_wanted = true;
    m_retryMs = kFirstRetryMs;
    m_error.clear();
    connectNow();
    return true;
}

void RigctldTransport::close() {
    const bool was = m_wanted;
    m_wanted = false;
    m_connectTimer.stop();
    m_retryTimer.stop();
    m_answerTimer.stop();
    m_socket.abort();
    m_unread.clear();
    m_lineTail.clear();
    m_awaited.clear();
    m_inFlight = false;
    m_refusal.clear();
    m_connected = false;
    m_lossTold = false;
    if (was) {
        setStatus(QString());
    }
}

bool RigctldTransport::isReady() const {
    return m_wanted && m_socket.state() == QAbstractSocket::ConnectedState;
}

void RigctldTransport::connectNow() {
    if (!m_wanted) {
        return;
    }
    m_socket.abort();
    m_lineTail.clear();
    m_awaited.clear();
    m_inFlight = false;
    setStatus(QStringLiteral("Connecting to rigctld %1").arg(address()));
    qCDebug(lcRig).noquote() << "connecting to" << description();
    m_connectTimer.start(kConnectTimeoutMs);
    m_socket.connectToHost(m_host, m_port);
}

void RigctldTransport::onConnected() {
    m_connectTimer.stop();
    m_retryMs = kFirstRetryMs;
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    setStatus(QStringLiteral("Connected to rigctld %1").arg(address()));
    qCDebug(lcRig).noquote() << "connected to" << description();
    m_connected = true;
    if (std::exchange(m_lossTold, false)) {
        Q_EMIT lineRestored(m_status);
    }
}

void RigctldTransport::onSocketError() {
    if (!m_wanted) {
        return;
    }
    const QString why = m_socket.errorString();
    if (m_socket.error() == QAbstractSocket::RemoteHostClosedError) {
        lost(QStringLiteral("rigctld at %1 closed the connection; reconnecting").arg(address()));
        return;
    }
    lost(QStringLiteral("rigctld not reachable at %1 (%2); trying again").arg(address(), why));
}

void RigctldTransport::onDisconnected() {
    if (m_wanted && !m_retryTimer.isActive()) {
        lost(QStringLiteral("rigctld at %1 closed the connection; reconnecting").arg(address()));
    }
}

void RigctldTransport::onConnectTimeout() {
    lost(QStringLiteral("rigctld not reachable at %1 (no answer to the connection); trying again").arg(address()));
}

void RigctldTransport::onAnswerTimeout() {
    lost(QStringLiteral("rigctld at %1 stopped answering; reconnecting").arg(address()));
}

void RigctldTransport::lost(const QString& status) {
    if (!m_wanted || m_retryTimer.isActive()) {
        return;
    }
    m_connectTimer.stop();
    m_answerTimer.stop();
    const bool commandAwaited = std::any_of(m_awaited.cbegin(), m_awaited.cend(), &rigctldIsSetCommand);
    if (commandAwaited && m_refusal.isEmpty()) {
        m_refusal = QStringLiteral("The connection to rigctld %1 was lost before it answered.").arg(address());
    }
    m_awaited.clear();
    m_inFlight = false;
    m_lineTail.clear();
    m_error = status;
    qCDebug(lcRig).noquote() << status << "- next attempt in" << m_retryMs << "ms";
    scheduleRetry(); // first: the abort below reports a disconnection, which is this one
    m_socket.abort();
    setStatus(status);
    checkDrained();
    // A connection that stood and ended is told once; failed attempts after it are not.
    if (std::exchange(m_connected, false) && m_wanted) {
        m_lossTold = true;
        Q_EMIT lineLost(status);
    }
}

void RigctldTransport::scheduleRetry() {
    m_retryTimer.start(m_retryMs);
    m_retryMs = std::min(m_retryMs * 2, kLongestRetryMs);
}

void RigctldTransport::setStatus(const QString& status) {
    if (m_status != status) {
        m_status = status;
        Q_EMIT statusChanged(status);
    }
}

bool RigctldTransport::write(const QByteArray& bytes) {
    if (!isReady()) {
        m_error = m_status.isEmpty() ? QStringLiteral("rigctld not reachable") : m_status;
        return false;
    }
    for (const QByteArray& line : bytes.split('\n')) {
        if (!line.trimmed().isEmpty()) {
            m_awaited.push_back(line.trimmed());
        }
    }
    return sendNext();
}

bool RigctldTransport::sendNext() {
    // One command at a time: the daemon answers a command that arrives alone at once, but
    // takes about 50 ms over one that came in the same packet as the one before it.
    if (m_inFlight || m_awaited.empty()) {
        return true;
    }
    if (m_socket.write(m_awaited.front() + '\n') < 0) {
        m_error = m_socket.errorString();
        m_awaited.clear();
        return false;
    }
    m_socket.flush();
    m_inFlight = true;
    m_answerTimer.start(kAnswerTimeoutMs);
    return true;
}

void RigctldTransport::flush() {
    m_socket.flush();
}

QByteArray RigctldTransport::readAll() {
    return std::exchange(m_unread, {});
}

qint64 RigctldTransport::bytesToWrite() const {
    return m_socket.bytesToWrite() + (m_awaited.empty() ? 0 : 1);
}

QString RigctldTransport::takeRefusal() {
    return std::exchange(m_refusal, {});
}

void RigctldTransport::onBytesWritten() {
    checkDrained();
}

void RigctldTransport::checkDrained() {
    if (m_socket.bytesToWrite() == 0 && m_awaited.empty()) {
        Q_EMIT drained();
    }
}

void RigctldTransport::onReadyRead() {
    const QByteArray bytes = m_socket.readAll();
    if (bytes.isEmpty() || !m_wanted) {
        return;
    }
    m_unread += bytes;
    if (m_unread.size() > kMaxUnreadBytes) {
        m_unread.remove(0, m_unread.size() - kMaxUnreadBytes);
    }
    qsizetype start = 0;
    for (qsizetype end = bytes.indexOf('\n'); end >= 0; end = bytes.indexOf('\n', start)) {
        m_lineTail += bytes.mid(start, std::min(end - start, kMaxLineBytes + 1));
        lineEnded(std::exchange(m_lineTail, {}));
        start = end + 1;
    }
    m_lineTail += bytes.mid(start, kMaxLineBytes + 1);
    if (m_lineTail.size() > kMaxLineBytes) {
        Q_EMIT readyRead();
        lost(QStringLiteral("rigctld at %1 sent a line longer than %2 bytes; reconnecting")
                 .arg(address())
                 .arg(kMaxLineBytes));
        return;
    }
    Q_EMIT readyRead();
    checkDrained();
}

void RigctldTransport::lineEnded(const QByteArray& line) {
    const auto code = rigctldReportCode(line.trimmed());
    if (!code || m_awaited.empty()) {
        return;
    }
    if (!m_inFlight) {
        return; // an answer to nothing asked
    }
    const QByteArray command = m_awaited.front();
    m_awaited.pop_front();
    m_inFlight = false;
    if (*code != 0 && rigctldIsSetCommand(command) && m_refusal.isEmpty()) {
        m_refusal = QStringLiteral("rigctld refused \"%1\": %2 (RPRT %3)")
                        .arg(QString::fromLatin1(command.mid(command.startsWith('+') ? 1 : 0)),
                             rigctldErrorText(*code))
                        .arg(*code);
    }
    m_answerTimer.stop();
    sendNext();
}

} // namespace ditlog
