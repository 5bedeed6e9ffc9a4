// Loopback servers that play the far end of the spot sources in tests and benchmarks: a
// DX cluster that sends what the test gives it and records what it receives, and an AGW
// Packet Engine speaking frames (it answers the registration and the port query itself).
#pragma once

#include "platform/AgwFrame.h"

#include <QByteArray>
#include <QList>
#include <QObject>

class QTcpServer;
class QTcpSocket;

namespace ditlog::testing {

class ClusterServer : public QObject {
    Q_OBJECT
public:
    explicit ClusterServer(QObject* parent = nullptr);
    ~ClusterServer() override;

    quint16 port() const;
    bool hasClient() const { return m_client != nullptr; }
    void send(const QByteArray& bytes);
    void closeClient();
    // The cluster goes down (its client dropped, nobody listening on its port), and comes
    // back on the same port.
    void stopListening();
    bool listenAgain();
    QByteArray received() const { return m_received; }
    int connections() const { return m_connections; }

Q_SIGNALS:
    void clientConnected();
    void bytesReceived(const QByteArray& bytes);

private:
    QTcpServer* m_server;
    QTcpSocket* m_client = nullptr;
    quint16 m_port = 0;
    QByteArray m_received;
    int m_connections = 0;
};

class AgwServer : public QObject {
    Q_OBJECT
public:
    explicit AgwServer(QObject* parent = nullptr);
    ~AgwServer() override;

    quint16 port() const;
    bool hasClient() const { return m_client != nullptr; }
    // The answer to "X": 1 accepts the call.
    void setRegistrationAnswer(char answer) { m_answer = answer; }
    void setAnswersRegistration(bool on) { m_answers = on; }
    void sendFrame(const AgwFrame& frame);
    // A monitored UI frame as an engine sends it: header line, the text, CR NUL.
    void sendMonitored(const QByteArray& from, const QByteArray& to, const QByteArray& text);
    void sendRaw(const QByteArray& bytes);
    void closeClient();
    // The engine ends (its client dropped, nobody listening) and starts again on its port.
    void stopListening();
    bool listenAgain();
    int connections() const { return m_connections; }
    const QList<AgwFrame>& received() const { return m_received; }
    QList<AgwFrame> receivedOfKind(char kind) const;

Q_SIGNALS:
    void frameReceived(const ditlog::AgwFrame& frame);

private:
    QTcpServer* m_server;
    QTcpSocket* m_client = nullptr;
    quint16 m_port = 0;
    int m_connections = 0;
    AgwFrameDecoder m_decoder;
    QList<AgwFrame> m_received;
    char m_answer = 1;
    bool m_answers = true;
};

} // namespace ditlog::testing
