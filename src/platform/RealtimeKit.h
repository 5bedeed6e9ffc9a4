// Real-time scheduling for one thread through RealtimeKit (org.freedesktop.RealtimeKit1
// on the system bus), for an operator who is not root. The kernel refuses SCHED_FIFO to
// a normal user; RealtimeKit grants real-time priority within its own limits to a
// process that has capped its real-time CPU time with RLIMIT_RTTIME, as PipeWire and JACK
// clients ask for theirs. The request is asynchronous: the window thread never waits.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace ditlog {

class RealtimeKit : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultPriority = 20;

    // On the system bus, connected at the first request (a program whose thread the
    // kernel made real-time never opens it).
    explicit RealtimeKit(QObject* parent = nullptr);
    RealtimeKit(const QDBusConnection& bus, QObject* parent = nullptr);

    // Asks for the thread (its kernel id, a thread of this process) at the priority,
    // lowered to the daemon's maximum; finished() answers.
    void makeThreadRealtime(qint64 threadId, int priority = kDefaultPriority);

Q_SIGNALS:
    // granted: the thread now runs at real-time priority; description says how, or why not.
    void finished(bool granted, const QString& description);

private:
    // Reads one property of the daemon; then() gets an invalid value when it has none.
    void property(const QString& name, std::function<void(const QVariant&)> then);
    void request(qint64 threadId, int priority, qint64 rtTimeMaxUs);
    void send(const QDBusMessage& call, qint64 threadId, int priority, bool withPid);
    void fail(const QString& why);

    std::optional<QDBusConnection> m_bus;
};

} // namespace ditlog
