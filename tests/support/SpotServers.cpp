// The loopback cluster and packet engine.
#include "SpotServers.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTime>

namespace ditlog::testing {

ClusterServer::ClusterServer(QObject* parent) : QObject(parent), m_server(new QTcpServer(this)) {
    m_server->listen(QHostAddress::LocalHost, 0);
    m_port = m_server->serverPort();
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* s = m_server->nextPendingConnection()) {
            if (m_client != nullptr) {
                m_client->deleteLater();
            }
            m_client = s;
            ++m_connections;
            connect(s, &QTcpSocket::readyRead, this, [this, s] {
                const QByteArray b = s->readAll();
                m_received += b;
                Q_EMIT bytesReceived(b);
            });
            connect(s, &QTcpSocket::disconnected, this, [this, s] {
                if (m_client == s) {
                    m_client = nullptr;
                }
                s->deleteLater();
            });
            Q_EMIT clientConnected();
        }
    });
}

ClusterServer::~ClusterServer() = default;

quint16 ClusterServer::port() const { return m_port; }

void ClusterServer::stopListening() {
    closeClient();
    m_server->close();
}

bool ClusterServer::listenAgain() { return m_server->listen(QHostAddress::LocalHost, m_port); }

void ClusterServer::send(const QByteArray& bytes) {
    if (m_client != nullptr) {
        m_client->write(bytes);
        m_client->flush();
    }
}

void ClusterServer::closeClient() {
    if (m_client != nullptr) {
        m_client->flush();
        m_client->disconnectFromHost();
    }
}

AgwServer::AgwServer(QObject* parent) : QObject(parent), m_server(new QTcpServer(this)) {
    m_server->listen(QHostAddress::LocalHost, 0);
    m_port = m_server->serverPort();
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* s = m_server->nextPendingConnection()) {
            if (m_client != nullptr) {
                m_client->deleteLater();
            }
            m_client = s;
            ++m_connections;
            m_decoder.clear();
            connect(s, &QTcpSocket::readyRead, this, [this, s] {
                for (const AgwFrame& f : m_decoder.feed(s->readAll())) {
                    m_received.append(f);
                    if (f.kind == 'X' && m_answers) {
                        sendFrame({0, 'X', 0, f.callFrom, {}, QByteArray(1, m_answer)});
                    } else if (f.kind == 'G') {
                        sendFrame({0, 'G', 0, {}, {}, QByteArray("1;Port1 Loopback test;")});
                    }
                    Q_EMIT frameReceived(f);
                }
            });
            connect(s, &QTcpSocket::disconnected, this, [this, s] {
                if (m_client == s) {
                    m_client = nullptr;
                }
                s->deleteLater();
            });
        }
    });
}

AgwServer::~AgwServer() = default;

quint16 AgwServer::port() const { return m_port; }

void AgwServer::stopListening() {
    closeClient();
    m_server->close();
}

bool AgwServer::listenAgain() { return m_server->listen(QHostAddress::LocalHost, m_port); }

void AgwServer::sendRaw(const QByteArray& bytes) {
    if (m_client != nullptr) {
        m_client->write(bytes);
        m_client->flush();
    }
}

void AgwServer::sendFrame(const AgwFrame& frame) { sendRaw(encodeAgwFrame(frame)); }

void AgwServer::sendMonitored(const QByteArray& from, const QByteArray& to, const QByteArray& text) {
    const QByteArray data = " 1:Fm " + from + " To " + to + " <UI pid=F0 Len=" +
                            QByteArray::number(text.size()) + " PF=0 >[" +
                            QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toLatin1() +
                            "]\r" + text + QByteArray("\r\0", 2);
    sendFrame({0, 'U', 0, from, to, data});
}

void AgwServer::closeClient() {
    if (m_client != nullptr) {
        m_client->flush();
        m_client->disconnectFromHost();
    }
}

QList<AgwFrame> AgwServer::receivedOfKind(char kind) const {
    QList<AgwFrame> out;
    for (const AgwFrame& f : m_received) {
        if (f.kind == kind) {
            out.append(f);
        }
    }
    return out;
}

} // namespace ditlog::testing
