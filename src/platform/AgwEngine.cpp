// The AGW Packet Engine client over TCP: register ("X"), ask for the ports ("G"), switch
// monitoring on ("m"), then queue what the engine sends.
#include "platform/AgwEngine.h"

#include <QLoggingCategory>
#include <QTcpSocket>
#include <QTimer>

Q_LOGGING_CATEGORY(lcAgw, "ditlog.spots", QtWarningMsg)

namespace ditlog {

namespace {
constexpr qint64 kReadChunk = 64 * 1024;
}

TcpAgwEngine::TcpAgwEngine(QString host, quint16 port, QObject* parent)
    : AgwEngine(parent), m_host(std::move(host)), m_port(port), m_socket(new QTcpSocket(this)),
      m_timeout(new QTimer(this)) {
    m_socket->setReadBufferSize(256 * 1024);
    m_timeout->setSingleShot(true);
    m_timeout->setInterval(kRegisterTimeoutMs);
    connect(m_timeout, &QTimer::timeout, this,
            [this] { failed(QStringLiteral("The engine did not answer the registration.")); });
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_state = State::Registering;
        send('X', {}, {});
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &TcpAgwEngine::readAvailable);
    connect(m_socket, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError) { failed(m_socket->errorString()); });
}

TcpAgwEngine::~TcpAgwEngine() {
    m_socket->disconnect(this);
    m_socket->abort();
}

void TcpAgwEngine::setRegisterTimeoutMs(int ms) { m_timeout->setInterval(ms); }

void TcpAgwEngine::AGWStartPoll(const QString& call, const QString& title) {
    Q_UNUSED(title); // the TCP interface has no place for the program's title
    AGWClose();
    m_call = call.toLatin1();
    m_state = State::Connecting;
    m_timeout->start();
    qCDebug(lcAgw) << "connecting to" << m_host << m_port << "as" << call;
    m_socket->connectToHost(m_host, m_port);
}

void TcpAgwEngine::AGWPutData(const QString& toCall, const QByteArray& data, char kind) {
    if (m_state != State::Registered) {
        return;
    }
    const char wire = kind == 'c' ? 'C' : kind == 'P' ? 'G' : kind;
    send(wire, toCall.toLatin1(), data);
}

std::optional<AgwFrame> TcpAgwEngine::AGWGetData() {
    if (m_queue.empty()) {
        // A fetch is also the moment to read what the socket holds back.
        readAvailable();
        if (m_queue.empty()) {
            return std::nullopt;
        }
    }
    AgwFrame f = std::move(m_queue.front());
    m_queue.pop_front();
    return f;
}

void TcpAgwEngine::AGWClose() {
    m_timeout->stop();
    m_socket->abort();
    m_decoder.clear();
    m_queue.clear();
    m_state = State::Closed;
}

void TcpAgwEngine::send(char kind, const QByteArray& to, const QByteArray& data) {
    AgwFrame f;
    f.kind = kind;
    // Text to a station (connected data, unproto) is AX.25 with no layer 3: PID F0, which
    // the engine puts on the air as given.
    if (kind == 'D' || kind == 'M' || kind == 'V') {
        f.pid = kAgwTextPid;
    }
    f.callFrom = m_call;
    f.callTo = to;
    f.data = data;
    m_socket->write(encodeAgwFrame(f));
}

void TcpAgwEngine::readAvailable() {
    if (m_state == State::Closed) {
        return;
    }
    // One chunk at a time keeps the decoder's buffer small; a fetch reads the next.
    const qsizetype before = qsizetype(m_queue.size());
    while (m_socket->bytesAvailable() > 0 && m_queue.size() < kMaxQueuedFrames) {
        for (AgwFrame& f : m_decoder.feed(m_socket->read(kReadChunk))) {
            take(std::move(f));
        }
        if (m_state == State::Closed) {
            return;
        }
    }
    const AgwFrameDecoder::Damage damage = m_decoder.takeDamage();
    if (damage.frames > 0) {
        Q_EMIT dataSkipped(QStringLiteral("%1 damaged frame(s) from the AGW Packet Engine "
                                          "(length field %2), %3 bytes skipped")
                               .arg(damage.frames)
                               .arg(damage.lastClaimedLength)
                               .arg(damage.skippedBytes));
    }
    if (qsizetype(m_queue.size()) > before) {
        Q_EMIT framesArrived();
    }
}

void TcpAgwEngine::take(AgwFrame frame) {
    if (frame.kind == 'X' && m_state == State::Registering) {
        m_timeout->stop();
        if (frame.data.isEmpty() || frame.data.at(0) != 1) {
            failed(QStringLiteral("The engine refused the call sign."));
            return;
        }
        m_state = State::Registered;
        send('G', {}, {});
        send('m', {}, {}); // a toggle on some engines: once per connection
        Q_EMIT registered();
        return;
    }
    if (frame.kind == 'C') {
        frame.kind = 'c';
    }
    if (m_queue.size() >= kMaxQueuedFrames) {
        m_queue.pop_front();
        ++m_dropped;
    }
    m_queue.push_back(std::move(frame));
}

void TcpAgwEngine::failed(const QString& reason) {
    const State was = m_state;
    if (was == State::Closed) {
        return;
    }
    // Frames already received stay for fetching; the socket is gone.
    m_timeout->stop();
    if (was == State::Registered) {
        for (AgwFrame& f : m_decoder.feed(m_socket->readAll())) {
            take(std::move(f));
        }
    }
    m_socket->abort();
    m_decoder.clear();
    m_state = State::Closed;
    qCDebug(lcAgw) << "failed:" << reason;
    if (was == State::Registered) {
        Q_EMIT connectionLost(reason);
    } else {
        Q_EMIT startFailed(reason);
    }
}

} // namespace ditlog
