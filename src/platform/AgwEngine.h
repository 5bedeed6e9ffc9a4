// The AGW Packet Engine as the spotting window uses it: the four operations of the
// engine's client library (start polling, put data, get data, close) over the engine's
// TCP interface. Registering takes a round trip, so starting reports its outcome by a
// signal; received frames wait in a queue until they are fetched.
#pragma once

#include "platform/AgwFrame.h"

#include <QObject>
#include <QString>

#include <deque>
#include <optional>

class QTcpSocket;
class QTimer;

namespace ditlog {

class AgwEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~AgwEngine() override = default;

    // Connects and registers the call; registered() or startFailed() follows.
    virtual void AGWStartPoll(const QString& call, const QString& title) = 0;
    // Sends one frame to a station. The library's kinds: "c" connect, "P" (right after a
    // connect), "D" data to the connected station, "d" disconnect; others as given.
    virtual void AGWPutData(const QString& toCall, const QByteArray& data, char kind) = 0;
    // The next received frame, a connect notification reported with kind "c".
    virtual std::optional<AgwFrame> AGWGetData() = 0;
    virtual void AGWClose() = 0;
    // Registered and not closed since.
    virtual bool isRegistered() const = 0;

Q_SIGNALS:
    void registered();
    void startFailed(const QString& reason);
    // Frames are waiting to be fetched.
    void framesArrived();
    // The engine went away after registering; the engine is closed.
    void connectionLost(const QString& reason);
    // Damaged data was skipped; the text says how much.
    void dataSkipped(const QString& description);
};

class TcpAgwEngine final : public AgwEngine {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 8000;
    static constexpr int kRegisterTimeoutMs = 10000;
    // Frames not fetched beyond this many are dropped, oldest first.
    static constexpr std::size_t kMaxQueuedFrames = 5000;

    explicit TcpAgwEngine(QString host = QStringLiteral("127.0.0.1"), quint16 port = kDefaultPort,
                          QObject* parent = nullptr);
    ~TcpAgwEngine() override;

    void AGWStartPoll(const QString& call, const QString& title) override;
    void AGWPutData(const QString& toCall, const QByteArray& data, char kind) override;
    std::optional<AgwFrame> AGWGetData() override;
    void AGWClose() override;
    bool isRegistered() const override { return m_state == State::Registered; }

    std::size_t queuedFrames() const { return m_queue.size(); }
    quint64 droppedFrames() const { return m_dropped; }
    void setRegisterTimeoutMs(int ms);

private:
    enum class State { Closed, Connecting, Registering, Registered };
    void send(char kind, const QByteArray& to, const QByteArray& data);
    void readAvailable();
    void take(AgwFrame frame);
    void failed(const QString& reason);

    QString m_host;
    quint16 m_port;
    QTcpSocket* m_socket;
    QTimer* m_timeout;
    AgwFrameDecoder m_decoder;
    std::deque<AgwFrame> m_queue;
    quint64 m_dropped = 0;
    QByteArray m_call;
    State m_state = State::Closed;
};

} // namespace ditlog
