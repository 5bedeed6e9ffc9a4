// One client TCP connection (the Telnet DX cluster): connect, send, read what arrived,
// close, and connection errors reported with Winsock-style numbers.
#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QString>

class QTcpSocket;
class QTimer;

namespace ditlog {

// The Winsock error number for a Qt socket error (10061 refused, 11001 host not found,
// 10060 timed out, 10058 closed by the peer ...); -1 for an error that has none.
int winsockCodeFor(QAbstractSocket::SocketError error);

class TcpClient : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, Connecting, Connected };

    using QObject::QObject;
    ~TcpClient() override = default;

    virtual void connectToHost(const QString& host, quint16 port) = 0;
    // Drops the connection and what was received but not read; nothing more is reported.
    virtual void close() = 0;
    virtual State state() const = 0;
    bool isConnected() const { return state() == State::Connected; }
    virtual void send(const QByteArray& bytes) = 0;
    virtual qint64 bytesAvailable() const = 0;
    // At most maxBytes of what has arrived.
    virtual QByteArray read(qint64 maxBytes) = 0;

Q_SIGNALS:
    void connected();
    void readyRead();
    // The connection failed or ended; the client is closed when this is emitted, but
    // what arrived before can still be read.
    void errorOccurred(int winsockCode, const QString& description);
};

// QTcpSocket with a bounded receive buffer (the peer is held back by TCP while the buffer
// is full) and a limit on how long connecting may take.
class QtTcpClient final : public TcpClient {
    Q_OBJECT
public:
    static constexpr qint64 kReceiveBufferBytes = 256 * 1024;
    static constexpr int kConnectTimeoutMs = 30000;

    explicit QtTcpClient(QObject* parent = nullptr);
    ~QtTcpClient() override;

    void connectToHost(const QString& host, quint16 port) override;
    void close() override;
    State state() const override;
    void send(const QByteArray& bytes) override;
    qint64 bytesAvailable() const override;
    QByteArray read(qint64 maxBytes) override;

    void setConnectTimeoutMs(int ms);

private:
    void fail(QAbstractSocket::SocketError error, const QString& description);

    QTcpSocket* m_socket;
    QTimer* m_connectTimer;
    QByteArray m_leftover; // received before a failure, not yet read
};

} // namespace ditlog
