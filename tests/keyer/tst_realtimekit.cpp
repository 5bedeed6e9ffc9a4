// Real-time priority through the real RealtimeKit daemon on a private system bus: the
// keying thread of a program run as a normal user (who the kernel refuses SCHED_FIFO)
// becomes real-time, at no more than the daemon allows. The bus has no logind session
// to tell polkit that the user sits at this machine, so a stand-in authority on the bus
// answers the daemon's authorization question (yes for an operator at the station, no
// otherwise); everything else is the daemon's own doing.
#include "Peers.h"
#include "PolkitStandIn.h"
#include "platform/RealtimeKit.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <sched.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
const QString kDaemon = QStringLiteral("/usr/libexec/rtkit-daemon");

// A thread of this process that waits until told to end.
class Sleeper {
public:
    Sleeper()
        : m_thread([this] {
              m_id = qint64(::gettid());
              std::unique_lock lock(m_mutex);
              m_cv.wait(lock, [this] { return m_stop; });
          }) {
        while (m_id.load() == 0) {
            std::this_thread::yield();
        }
    }
    ~Sleeper() {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }
    qint64 id() const { return m_id.load(); }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_stop = false;
    std::atomic<qint64> m_id{0};
    std::thread m_thread;
};
} // namespace

class TestRealtimeKit : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QProcess bus;
    QProcess daemon;
    QString address;
    PolkitStandIn authority;
    std::unique_ptr<QDBusConnection> connection;

private Q_SLOTS:
    void initTestCase() {
        if (!QFile::exists(kDaemon) || QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()) {
            SKIP_OR_FAIL_WITHOUT_PEER(QStringLiteral("RealtimeKit (rtkit) and dbus-daemon are needed: bash tools/install-deps.sh"));
        }
        QVERIFY(dir.isValid());
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::ExeOther);
        const QString socket = dir.filePath(QStringLiteral("bus"));
        QFile config(dir.filePath(QStringLiteral("bus.conf")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral(
                         "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\" "
                         "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                         "<busconfig><type>system</type><listen>unix:path=%1</listen><auth>EXTERNAL</auth>"
                         "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
                         "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy></busconfig>\n")
                         .arg(socket)
                         .toUtf8());
        config.close();
        bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config.fileName(),
                                                  QStringLiteral("--nofork"), QStringLiteral("--nopidfile")});
        QVERIFY(bus.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(socket); }, 10000));
        QFile::setPermissions(socket, QFile::permissions(socket) | QFile::WriteOther | QFile::ReadOther);
        address = QStringLiteral("unix:path=") + socket;
        connection = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, QStringLiteral("rtkit-test")));
        QVERIFY(connection->isConnected());
        QVERIFY(authority.registerOn(*connection));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address);
        daemon.setProcessEnvironment(env);
        daemon.setProcessChannelMode(QProcess::MergedChannels); // a pipe: the daemon allows no file writes
        daemon.start(kDaemon, {QStringLiteral("--stderr"), QStringLiteral("--no-canary")});
        QVERIFY(daemon.waitForStarted());
        QVERIFY2(QTest::qWaitFor([&] {
                     return connection->interface()->isServiceRegistered(QStringLiteral("org.freedesktop.RealtimeKit1"));
                 }, 10000),
                 daemon.readAll().constData());
    }
    void cleanupTestCase() {
        for (QProcess* p : {&daemon, &bus}) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                p->waitForFinished(5000);
            }
        }
        if (connection) {
            QDBusConnection::disconnectFromBus(QStringLiteral("rtkit-test"));
        }
    }

    // A thread of this process is made real-time, within the daemon's limits, after the
    // process capped its real-time processor time; a refusal leaves it as it was.
    void threadMadeRealTime() {
        Sleeper thread;
        RealtimeKit kit(*connection);
        QSignalSpy finished(&kit, &RealtimeKit::finished);
        authority.allow = false;
        kit.makeThreadRealtime(thread.id(), 10);
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QVERIFY(finished.at(0).at(1).toString().startsWith(QStringLiteral("RealtimeKit: ")));
        QCOMPARE(sched_getscheduler(pid_t(thread.id())) & ~SCHED_RESET_ON_FORK, SCHED_OTHER);
        QVERIFY(authority.asked.contains(QStringLiteral("org.freedesktop.RealtimeKit1.acquire-real-time")));

        authority.allow = true;
        kit.makeThreadRealtime(thread.id(), 99); // more than the daemon gives
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.at(1).at(0).toBool(), true);
        QCOMPARE(sched_getscheduler(pid_t(thread.id())) & ~SCHED_RESET_ON_FORK, SCHED_RR);
        sched_param param{};
        QCOMPARE(sched_getparam(pid_t(thread.id()), &param), 0);
        QCOMPARE(param.sched_priority, 20); // the daemon's maximum
        QCOMPARE(finished.at(1).at(1).toString(), QStringLiteral("real-time through RealtimeKit (SCHED_RR 20)"));
        rlimit limit{};
        QCOMPARE(getrlimit(RLIMIT_RTTIME, &limit), 0);
        QVERIFY(limit.rlim_max != RLIM_INFINITY && limit.rlim_max <= 200'000);
    }

    // The program as a normal user: the kernel refuses SCHED_FIFO to its keying thread,
    // the keyer asks RealtimeKit, and the thread runs real-time.
    void keyingThreadOfANormalUser() {
        if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty() || ::geteuid() != 0) {
            QSKIP("needs root and setpriv to run the program as another user");
        }
        authority.allow = true;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), dir.path());
        env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QStringLiteral("setpriv"),
                    {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                     QStringLiteral("--clear-groups"), QStringLiteral("--inh-caps=-all"),
                     QStringLiteral(KEYING_CHILD), QStringLiteral("realtime")});
        // The stand-in authority answers from this process: keep its events running.
        QVERIFY(QTest::qWaitFor([&] { return child.state() == QProcess::NotRunning; }, 30000));
        QCOMPARE(child.exitCode(), 0);
        const QString out = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
        QVERIFY2(out.startsWith(QStringLiteral("1 RR 20 real-time through RealtimeKit")), qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(TestRealtimeKit)
#include "tst_realtimekit.moc"
