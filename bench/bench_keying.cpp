// Keying precision of the real path: the CW keyer hands a message to the keying thread,
// which keys DTR of a real serial port through the program's own line code (the
// control-line port and SerialControlLine's ioctl); every change is stamped on the
// monotonic clock as its ioctl returns. Each edge is compared with the ideal schedule
// anchored at the first key-down.
//
// Beside the program, in the same process and the same minutes, a bare absolute-deadline
// keyer (sleep to 0.5 ms before each edge, spin, ioctl) keys the same port at the same
// priority, run for run in turn, so that what this machine does to any keyer can be told
// from what the program does.
//
// The port: DITLOG_BENCH_SERIAL, else /dev/ttyS0 when it takes DTR changes (without one
// the benchmark has nothing to measure and says so). Conditions: idle, both cores kept busy by two
// spinning processes, the window thread stalled for 50 ms every 200 ms.
// DITLOG_BENCH_RUNS sets the runs per condition (default 3); DITLOG_BENCH_ONLY=idle runs
// the idle condition alone (the run as a normal user through RealtimeKit uses it).
#include "KeyingDoubles.h"
#include "TestDoubles.h"
#include "keyer/CwBuffer.h"
#include "keyer/CwKeyer.h"
#include "keyer/KeyingEngine.h"
#include "keyer/MorseTable.h"
#include "platform/ControlLinePort.h"
#include "platform/PortMap.h"
#include "platform/PortOwnership.h"
#include "platform/RealtimeKit.h"
#include "platform/SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
const QString kText = QStringLiteral("PARIS PARIS PARIS CQ TEST DE K1ABC");

qint64 monotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// The unit index of every level change of the text's patterns, from the first key-down.
std::vector<qint64> idealUnits(const QString& text) {
    std::vector<qint64> units;
    qint64 u = 0;
    bool level = false;
    for (const QChar c : text) {
        for (const QChar digit : MorseTable::patternToKey(c, 0)) {
            const bool down = digit == QLatin1Char('1');
            if (down != level) {
                units.push_back(u);
                level = down;
            }
            ++u;
        }
    }
    return units;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5))];
}

QString load() {
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2)
                                       : QStringLiteral("?");
}

// Processes that keep the cores busy. Spawned, not forked: a fork would make every page
// of this process copy-on-write, and the keying thread's first touches after it would
// fault (hundreds of microseconds that no station program meets).
struct Spinners {
    std::vector<pid_t> pids;
    explicit Spinners(int n) {
        for (int i = 0; i < n; ++i) {
            pid_t pid = 0;
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            char yes[] = "yes";
            char* argv[] = {yes, nullptr};
            if (posix_spawnp(&pid, "yes", &actions, nullptr, argv, environ) == 0) {
                pids.push_back(pid);
            }
            posix_spawn_file_actions_destroy(&actions);
        }
    }
    ~Spinners() {
        for (const pid_t pid : pids) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

// Stamps each change as the line's own write returns.
class StampedLine final : public KeyingLine {
public:
    explicit StampedLine(KeyingLine& line) : m_line(line) { m_stamps.reserve(4096); }
    bool setKeyDown(bool down) noexcept override {
        const bool ok = m_line.setKeyDown(down);
        const qint64 now = monotonicNs();
        if (down != m_level) {
            m_stamps.push_back(now);
            m_level = down;
        }
        return ok;
    }
    bool released() const noexcept override { return m_line.released(); }
    std::vector<qint64> take() {
        std::vector<qint64> out;
        out.swap(m_stamps);
        m_stamps.reserve(4096);
        m_level = false;
        return out;
    }

private:
    KeyingLine& m_line;
    std::vector<qint64> m_stamps;
    bool m_level = false;
};

// The real outputs, with the serial line stamped.
class StampedOutputs final : public KeyingOutputs {
public:
    explicit StampedOutputs(KeyingOutputs& real) : m_real(real), serial(real.serialLine()) {}
    bool attachSerial(int fd, SerialControlLine::Signal s, QString* error) override {
        return m_real.attachSerial(fd, s, error);
    }
    void detachSerial() override { m_real.detachSerial(); }
    void setSerialSignal(SerialControlLine::Signal s) override { m_real.setSerialSignal(s); }
    KeyingLine& serialLine() override { return serial; }
    bool openParallel(int base, QString* error) override { return m_real.openParallel(base, error); }
    void closeParallel() override { m_real.closeParallel(); }
    bool parallelOpenAt(int base) const override { return m_real.parallelOpenAt(base); }
    KeyingLine& parallelLine() override { return m_real.parallelLine(); }

private:
    KeyingOutputs& m_real;

public:
    StampedLine serial;
};

struct Figures {
    double p50 = 0, p99 = 0, max = 0, ppm = 0, elementP99 = 0;
    int stalls = 0;        // edges later than a quarter unit: the schedule moved on from them
    double stalledMs = 0;  // how far in all
};

// Each edge against the schedule anchored at the first key-down. With reanchor, an edge
// later than a quarter unit moves the schedule on by its lateness, as the keying engine
// does (the edge itself counts with its lateness; the ones after it are measured on).
Figures analyse(const std::vector<qint64>& stamps, const std::vector<qint64>& ideal, double wpm,
                bool reanchor = false) {
    Figures f;
    if (stamps.size() != ideal.size() || stamps.empty()) {
        qWarning() << "edges" << stamps.size() << "expected" << ideal.size();
        return f;
    }
    const double unit = 1.2e9 / wpm;
    qint64 t0 = stamps.front();
    std::vector<double> errors;
    std::vector<double> elementErrors;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < stamps.size(); ++i) {
        const double x = double(ideal[i]) * unit;
        const double y = double(stamps[i] - t0);
        errors.push_back(std::abs(y - x) / 1000.0);
        if (reanchor && y - x > unit / 4) {
            ++f.stalls;
            f.stalledMs += (y - x) / 1e6;
            t0 += qint64(y - x);
        }
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
        if (i % 2 == 0 && i + 1 < stamps.size()) {
            const double length = double(stamps[i + 1] - stamps[i]);
            elementErrors.push_back(std::abs(length - double(ideal[i + 1] - ideal[i]) * unit) / 1000.0);
        }
    }
    const double n = double(stamps.size());
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    f.p50 = percentile(errors, 0.5);
    f.p99 = percentile(errors, 0.99);
    f.max = percentile(errors, 1.0);
    f.ppm = (slope - 1.0) * 1e6;
    f.elementP99 = percentile(elementErrors, 0.99);
    return f;
}

// The reference: absolute deadlines, sleep to 0.5 ms before each, spin, ioctl.
std::vector<qint64> bareKeyer(int fd, const std::vector<qint64>& ideal, double wpm, bool realTime) {
    std::vector<qint64> stamps;
    stamps.reserve(ideal.size());
    std::thread t([&] {
        if (realTime) {
            sched_param param{};
            param.sched_priority = 30;
            pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
        }
        const double unit = 1.2e9 / wpm;
        const qint64 t0 = monotonicNs() + 5'000'000;
        for (std::size_t i = 0; i < ideal.size(); ++i) {
            const qint64 deadline = t0 + qint64(double(ideal[i]) * unit);
            const qint64 wake = deadline - 500'000;
            timespec ts{time_t(wake / 1'000'000'000), long(wake % 1'000'000'000)};
            while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
            }
            while (monotonicNs() < deadline) {
            }
            int bits = TIOCM_DTR;
            if (fd >= 0) {
                ::ioctl(fd, i % 2 == 0 ? TIOCMBIS : TIOCMBIC, &bits);
            }
            stamps.push_back(monotonicNs());
        }
    });
    t.join();
    return stamps;
}

// A device whose DTR the program may key: the given one, or /dev/ttyS0.
QString keyingDevice() {
    const QString chosen = qEnvironmentVariable("DITLOG_BENCH_SERIAL");
    const QString path = chosen.isEmpty() ? QStringLiteral("/dev/ttyS0") : chosen;
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    int bits = TIOCM_DTR;
    const bool ok = ::ioctl(fd, TIOCMBIC, &bits) == 0;
    ::close(fd);
    return ok ? path : QString();
}
} // namespace

class BenchKeying : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QtSettingsStore settings{dir.filePath(QStringLiteral("s.ini"))};
    PortMap map{settings};
    PortOwnership owners;
    ControlLinePort port{map};
    PpdevParallelPort parallel;
    HardwareKeyingOutputs real{parallel};
    std::unique_ptr<StampedOutputs> outputs;
    CwBuffer buffer;
    MonotonicKeyingClock clock;
    std::unique_ptr<KeyingEngine> engine;
    ScriptedPrompts prompts;
    std::unique_ptr<CwKeyer> keyer;
    std::unique_ptr<RealtimeKit> realtimeKit;
    QString device;
    int bareFd = -1;

    std::vector<qint64> programSend(double wpm) {
        keyer->setSpeedText(QString::number(wpm));
        QSignalSpy finished(keyer.get(), &CwKeyer::sendingFinished);
        keyer->FKeyCW(112);
        if (!QTest::qWaitFor([&] { return finished.count() > 0; }, 120000)) {
            return {};
        }
        return outputs->serial.take();
    }

    void run(double wpm, int spinners, bool stallWindow) {
        QTimer stall;
        stall.setInterval(200);
        QObject::connect(&stall, &QTimer::timeout, [] {
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
            while (std::chrono::steady_clock::now() < until) {
            }
        });
        const std::vector<qint64> ideal = idealUnits(kText);
        const int runs = std::max(1, qEnvironmentVariableIntValue("DITLOG_BENCH_RUNS") > 0
                                         ? qEnvironmentVariableIntValue("DITLOG_BENCH_RUNS")
                                         : 3);
        const QString name = QStringLiteral("%1 WPM, %2%3").arg(wpm).arg(
            spinners > 0 ? QStringLiteral("both cores busy") : QStringLiteral("idle"),
            stallWindow ? QStringLiteral(", window stalled 50 ms / 200 ms") : QString());
        for (int r = 0; r < runs; ++r) {
            const QString before = load();
            std::unique_ptr<Spinners> busy = spinners > 0 ? std::make_unique<Spinners>(spinners) : nullptr;
            if (stallWindow) {
                stall.start();
            }
            const Figures program = analyse(programSend(wpm), ideal, wpm, true);
            stall.stop();
            const Figures bare = analyse(bareKeyer(bareFd, ideal, wpm, engine->realTime()), ideal, wpm);
            busy.reset();
            qInfo().noquote() << QStringLiteral(
                                     "keying %1, run %2 (%3, %4): program p50 %5 / p99 %6 / max %7 us, "
                                     "drift %8 ppm, element p99 %9 us, %15 stalls (%16 ms) | bare loop "
                                     "p50 %10 / p99 %11 / max %12 us, drift %13 ppm | load %14")
                                     .arg(name)
                                     .arg(r + 1)
                                     .arg(engine->priorityDescription(), device)
                                     .arg(program.p50, 0, 'f', 1)
                                     .arg(program.p99, 0, 'f', 1)
                                     .arg(program.max, 0, 'f', 1)
                                     .arg(program.ppm, 0, 'f', 2)
                                     .arg(program.elementP99, 0, 'f', 1)
                                     .arg(bare.p50, 0, 'f', 1)
                                     .arg(bare.p99, 0, 'f', 1)
                                     .arg(bare.max, 0, 'f', 1)
                                     .arg(bare.ppm, 0, 'f', 2)
                                     .arg(before)
                                     .arg(program.stalls)
                                     .arg(program.stalledMs, 0, 'f', 1);
        }
    }
    bool only(const char* condition) const {
        const QString o = qEnvironmentVariable("DITLOG_BENCH_ONLY");
        return o.isEmpty() || o == QLatin1String(condition);
    }

private Q_SLOTS:
    void initTestCase() {
        device = keyingDevice();
        if (device.isEmpty()) {
            QSKIP("no serial port here takes DTR changes (set DITLOG_BENCH_SERIAL)");
        }
        map.setMappedPath(1, device);
        outputs = std::make_unique<StampedOutputs>(real);
        bareFd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        engine = std::make_unique<KeyingEngine>(buffer, clock);
        keyer = std::make_unique<CwKeyer>(buffer, *engine, port, *outputs, owners, settings, prompts);
        // As the program does: RealtimeKit when the kernel refuses real-time priority.
        realtimeKit = std::make_unique<RealtimeKit>();
        keyer->setRealtimeKit(realtimeKit.get());
        keyer->setPortText(QStringLiteral("1"));
        keyer->setKeyingLine(KeyingLineChoice::Dtr);
        keyer->setMessage(0, kText);
        QVERIFY(QTest::qWaitFor([&] { return !engine->priorityDescription().isEmpty(); }, 5000));
        QTest::qWait(1500); // a RealtimeKit answer, where one is asked for
    }
    void cleanupTestCase() {
        keyer.reset();
        engine.reset();
        if (bareFd >= 0) {
            ::close(bareFd);
        }
    }

    void idle20() { if (only("idle")) run(20, 0, false); }
    void idle40() { if (only("idle")) run(40, 0, false); }
    void busy20() { if (only("busy")) run(20, 2, false); }
    void busy40() { if (only("busy")) run(40, 2, false); }
    void stalled40() { if (only("stalled")) run(40, 0, true); }
};

QTEST_MAIN(BenchKeying)
#include "bench_keying.moc"
