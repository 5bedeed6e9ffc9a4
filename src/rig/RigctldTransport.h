// The line to Hamlib's rig daemon: a TCP connection to the configured host and port only,
// opened without waiting (the window never stalls while it connects), reconnected with a
// growing pause when the daemon is gone or restarts, and watched: a command counts as out
// once the daemon has answered it, so the poll never piles questions on a slow daemon,
// one that stops answering is dropped and dialled again, and a refused set command is
// reported to the command that sent it.
#pragma once

#include "rig/RigTransport.h"

#include <QTcpSocket>
#include <QTimer>

#include <deque>

namespace ditlog {

class RigctldTransport final : public RigTransport {
    Q_OBJECT
public:
    // A line without its end longer than this is no answer: the connection is dropped.
    static constexpr qsizetype kMaxLineBytes = 4096;
    // Received bytes the link has not read yet, at most.
    static constexpr qsizetype kMaxUnreadBytes = 64 * 1024;
    static constexpr int kConnectTimeoutMs = 5000;
    static constexpr int kAnswerTimeoutMs = 10000;
    static constexpr int kFirstRetryMs = 500;
    static constexpr int kLongestRetryMs = 8000;

    explicit RigctldTransport(QObject* parent = nullptr);
    ~RigctldTransport() override;

    // Starts connecting to the settings' host and port; false only for a host or port
    // that cannot be dialled at all.
    bool open(const RigSettings& settings, const RigFamily& family) override;
    void close() override;
    // Between open and close, connected or not.
    bool isOpen() const override { return m_wanted; }
    bool isReady() const override;
    // False while not connected ("rigctld not reachable").
    bool write(const QByteArray& bytes) override;
    void flush() override;
    QByteArray readAll() override;
    // Bytes not yet sent, plus one while an answer is awaited.
    qint64 bytesToWrite() const override;
    QString errorString() const override { return m_error; }
    int charactersPerSecond() const override { return 200; }
    QString description() const override;
    QString takeRefusal() override;
    QString status() const override { return m_status; }

    // Commands written and not yet answered (they go out one at a time).
    int awaitedAnswers() const { return int(m_awaited.size()); }
    // The pause before the next connection attempt (for the trace and the tests).
    int nextRetryMs() const { return m_retryMs; }

private:
    bool sendNext();
    void connectNow();
    void onConnected();
    void onSocketError();
    void onDisconnected();
    void onReadyRead();
    void onBytesWritten();
    void onConnectTimeout();
    void onAnswerTimeout();
    void lineEnded(const QByteArray& line);
    void lost(const QString& status);
    void scheduleRetry();
    void setStatus(const QString& status);
    void checkDrained();
    QString address() const;

    QTcpSocket m_socket;
    QTimer m_connectTimer;
    QTimer m_retryTimer;
    QTimer m_answerTimer;
    QString m_host;
    quint16 m_port = 0;
    bool m_wanted = false;
    bool m_connected = false;  // connected since the last loss
    bool m_lossTold = false;   // lineLost went out and lineRestored is due
    int m_retryMs = kFirstRetryMs;
    QByteArray m_unread;
    QByteArray m_lineTail;
    std::deque<QByteArray> m_awaited; // commands to answer, oldest first
    bool m_inFlight = false;          // the first of them has gone out
    QString m_refusal;
    QString m_error;
    QString m_status;
};

} // namespace ditlog
