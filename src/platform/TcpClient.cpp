// The TCP client over QTcpSocket and the mapping of Qt's socket errors to Winsock numbers.
#include "platform/TcpClient.h"

#include <QTcpSocket>
#include <QTimer>

namespace ditlog {

int winsockCodeFor(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return 10061; // WSAECONNREFUSED
    case QAbstractSocket::RemoteHostClosedError:
        return 10058; // WSAESHUTDOWN
    case QAbstractSocket::HostNotFoundError:
        return 11001; // WSAHOST_NOT_FOUND
    case QAbstractSocket::SocketAccessError:
        return 10013; // WSAEACCES
    case QAbstractSocket::SocketResourceError:
        return 10055; // WSAENOBUFS
    case QAbstractSocket::SocketTimeoutError:
        return 10060; // WSAETIMEDOUT
    case QAbstractSocket::DatagramTooLargeError:
        return 10040; // WSAEMSGSIZE
    case QAbstractSocket::NetworkError:
        return 10051; // WSAENETUNREACH
    case QAbstractSocket::AddressInUseError:
        return 10048; // WSAEADDRINUSE
    case QAbstractSocket::SocketAddressNotAvailableError:
        return 10049; // WSAEADDRNOTAVAIL
    case QAbstractSocket::UnsupportedSocketOperationError:
        return 10045; // WSAEOPNOTSUPP
    case QAbstractSocket::OperationError:
        return 10056; // WSAEISCONN: an operation the socket's state does not allow
    case QAbstractSocket::TemporaryError:
        return 10035; // WSAEWOULDBLOCK
    default:
        return -1;
    }
}

QtTcpClient::QtTcpClient(QObject* parent)
    : TcpClient(parent), m_socket(new QTcpSocket(this)), m_connectTimer(new QTimer(this)) {
    m_socket->setReadBufferSize(kReceiveBufferBytes);
    m_connectTimer->setSingleShot(true);
    m_connectTimer->setInterval(kConnectTimeoutMs);
    connect(m_connectTimer, &QTimer::timeout, this, [this] {
        fail(QAbstractSocket::SocketTimeoutError, QStringLiteral("Connecting took too long"));
    });
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_connectTimer->stop();
        Q_EMIT connected();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &TcpClient::readyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        fail(error, m_socket->errorString());
    });
}

QtTcpClient::~QtTcpClient() {
    // No signal may reach a receiver that is being destroyed with us.
    m_socket->disconnect(this);
    m_socket->abort();
}

void QtTcpClient::connectToHost(const QString& host, quint16 port) {
    close();
    m_connectTimer->start();
    m_socket->connectToHost(host, port);
}

void QtTcpClient::close() {
    m_connectTimer->stop();
    m_socket->abort();
    m_leftover.clear();
}

TcpClient::State QtTcpClient::state() const {
    switch (m_socket->state()) {
    case QAbstractSocket::ConnectedState:
        return State::Connected;
    case QAbstractSocket::HostLookupState:
    case QAbstractSocket::ConnectingState:
        return State::Connecting;
    default:
        return State::Closed;
    }
}

void QtTcpClient::send(const QByteArray& bytes) {
    if (m_socket->state() == QAbstractSocket::ConnectedState) {
        m_socket->write(bytes);
    }
}

qint64 QtTcpClient::bytesAvailable() const {
    return m_leftover.size() + m_socket->bytesAvailable();
}

QByteArray QtTcpClient::read(qint64 maxBytes) {
    if (m_leftover.isEmpty()) {
        return m_socket->read(maxBytes);
    }
    const QByteArray part = m_leftover.left(maxBytes);
    m_leftover.remove(0, part.size());
    return part;
}

void QtTcpClient::setConnectTimeoutMs(int ms) { m_connectTimer->setInterval(ms); }

void QtTcpClient::fail(QAbstractSocket::SocketError error, const QString& description) {
    // What arrived before the peer closed can still be read after the socket is gone.
    m_connectTimer->stop();
    m_leftover += m_socket->readAll();
    m_socket->abort();
    Q_EMIT errorOccurred(winsockCodeFor(error), description);
}

} // namespace ditlog
