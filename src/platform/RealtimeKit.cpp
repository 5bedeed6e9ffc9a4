// The RealtimeKit request: the daemon's limits, RLIMIT_RTTIME, then the thread.
#include "platform/RealtimeKit.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QLoggingCategory>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

Q_LOGGING_CATEGORY(lcRealtime, "ditlog.realtime", QtWarningMsg)

namespace ditlog {

namespace {
const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");
constexpr qint64 kDefaultRtTimeMaxUs = 200'000; // the daemon's own default

QDBusMessage rtkitCall(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}
} // namespace

RealtimeKit::RealtimeKit(QObject* parent) : QObject(parent) {}

RealtimeKit::RealtimeKit(const QDBusConnection& bus, QObject* parent) : QObject(parent), m_bus(bus) {}

void RealtimeKit::fail(const QString& why) {
    qCInfo(lcRealtime) << "real-time refused:" << why;
    Q_EMIT finished(false, why);
}

void RealtimeKit::makeThreadRealtime(qint64 threadId, int priority) {
    if (!m_bus) {
        m_bus = QDBusConnection::systemBus();
    }
    if (!m_bus->isConnected()) {
        fail(QStringLiteral("no system bus for RealtimeKit"));
        return;
    }
    // The daemon's limits first: its highest priority, and the RLIMIT_RTTIME it wants.
    property(QStringLiteral("MaxRealtimePriority"), [this, threadId, priority](const QVariant& max) {
        const int allowed = std::clamp(priority, 1, std::max(1, max.isValid() ? max.toInt() : priority));
        property(QStringLiteral("RTTimeUSecMax"), [this, threadId, allowed](const QVariant& rtTime) {
            request(threadId, allowed, rtTime.isValid() ? rtTime.toLongLong() : kDefaultRtTimeMaxUs);
        });
    });
}

void RealtimeKit::property(const QString& name, std::function<void(const QVariant&)> then) {
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath,
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << kService << name;
    auto* watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(get, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, then = std::move(then)](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *w;
                if (reply.isError() && reply.error().type() == QDBusError::ServiceUnknown) {
                    fail(QStringLiteral("RealtimeKit: %1").arg(reply.error().message()));
                    return;
                }
                // A daemon without the property: its defaults apply.
                then(reply.isError() ? QVariant() : reply.value().variant());
            });
}

void RealtimeKit::request(qint64 threadId, int priority, qint64 rtTimeMaxUs) {
#ifdef Q_OS_LINUX
    // The daemon serves only a process that cannot run away with a processor: one whose
    // real-time threads are stopped after rtTimeMaxUs of processor time without sleeping
    // (the keying thread sleeps between edges, so it never comes near).
    rlimit limit{};
    if (getrlimit(RLIMIT_RTTIME, &limit) == 0 &&
        (limit.rlim_max == RLIM_INFINITY || limit.rlim_max > rlim_t(rtTimeMaxUs))) {
        limit.rlim_cur = limit.rlim_max = rlim_t(rtTimeMaxUs);
        if (setrlimit(RLIMIT_RTTIME, &limit) != 0) {
            fail(QStringLiteral("RLIMIT_RTTIME: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
            return;
        }
    }
    QDBusMessage call = rtkitCall(QStringLiteral("MakeThreadRealtimeWithPID"));
    call << quint64(::getpid()) << quint64(threadId) << quint32(priority);
    send(call, threadId, priority, true);
#else
    Q_UNUSED(threadId);
    Q_UNUSED(priority);
    Q_UNUSED(rtTimeMaxUs);
    fail(QStringLiteral("RealtimeKit is not available on this system"));
#endif
}

void RealtimeKit::send(const QDBusMessage& call, qint64 threadId, int priority, bool withPid) {
    auto* watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, threadId, priority, withPid](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<> reply = *w;
                if (reply.isError() && withPid && reply.error().type() == QDBusError::UnknownMethod) {
                    // An older daemon: the thread is taken as one of the caller's.
                    QDBusMessage older = rtkitCall(QStringLiteral("MakeThreadRealtime"));
                    older << quint64(threadId) << quint32(priority);
                    send(older, threadId, priority, false);
                    return;
                }
                if (reply.isError()) {
                    fail(QStringLiteral("RealtimeKit: %1").arg(reply.error().message()));
                    return;
                }
                qCInfo(lcRealtime) << "thread" << threadId << "real-time at" << priority;
                Q_EMIT finished(true, QStringLiteral("real-time through RealtimeKit (SCHED_RR %1)").arg(priority));
            });
}

} // namespace ditlog
