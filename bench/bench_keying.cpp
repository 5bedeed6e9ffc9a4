// Keying precision of the real path: the CW keyer hands a message to the keying thread,
// which keys a recording line that stamps every change on the monotonic clock. Each
// edge is compared with the ideal schedule anchored at the first key-down. Runs at 20
// and 40 WPM, idle, with both cores kept busy by two spinning processes, and with the
// window thread stalled for 50 ms every 200 ms.
#include "KeyingDoubles.h"
#include "TestDoubles.h"
#include "keyer/CwBuffer.h"
#include "keyer/CwKeyer.h"
#include "keyer/KeyingEngine.h"
#include "keyer/MorseTable.h"
#include "platform/PortMap.h"
#include "platform/PortOwnership.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
const QString kText = QStringLiteral("PARIS PARIS PARIS CQ TEST DE K1ABC");

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

struct Spinners {
    std::vector<pid_t> pids;
    explicit Spinners(int n) {
        for (int i = 0; i < n; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                volatile unsigned long x = 0;
                for (;;) {
                    x = x + 1;
                }
            }
            pids.push_back(pid);
        }
    }
    ~Spinners() {
        for (const pid_t pid : pids) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};
} // namespace

class BenchKeying : public QObject {
    Q_OBJECT

    void run(double wpm, int spinners, bool stallWindow) {
        QTemporaryDir dir;
        QtSettingsStore settings(dir.filePath(QStringLiteral("s.ini")));
        PortMap map(settings);
        PortOwnership owners;
        QtSerialPort port(map);
        RecordingKeyingOutputs outputs;
        CwBuffer buffer;
        MonotonicKeyingClock clock;
        KeyingEngine engine(buffer, clock);
        ScriptedPrompts prompts;
        CwKeyer keyer(buffer, engine, port, outputs, owners, settings, prompts);
        keyer.setKeyingLine(KeyingLineChoice::Printer);
        keyer.setSpeedText(QString::number(wpm));
        keyer.setMessage(0, kText);
        QVERIFY(QTest::qWaitFor([&] { return !engine.priorityDescription().isEmpty(); }, 2000));

        QTimer stall;
        stall.setInterval(200);
        QObject::connect(&stall, &QTimer::timeout, [] {
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
            while (std::chrono::steady_clock::now() < until) {
            }
        });
        const QString before = load();
        std::unique_ptr<Spinners> busy = spinners > 0 ? std::make_unique<Spinners>(spinners) : nullptr;
        if (stallWindow) {
            stall.start();
        }
        QSignalSpy finished(&keyer, &CwKeyer::sendingFinished);
        keyer.FKeyCW(112);
        QVERIFY(QTest::qWaitFor([&] { return finished.count() > 0; }, 120000));
        stall.stop();
        busy.reset();

        const auto changes = outputs.parallel.changes();
        const std::vector<qint64> ideal = idealUnits(kText);
        QCOMPARE(changes.size(), ideal.size());
        const double unit = 1.2e9 / wpm;
        const qint64 t0 = changes.front().ns;
        std::vector<double> errors;
        std::vector<double> elementErrors;
        double sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (std::size_t i = 0; i < changes.size(); ++i) {
            const double x = double(ideal[i]) * unit;
            const double y = double(changes[i].ns - t0);
            errors.push_back(std::abs(y - x) / 1000.0);
            sx += x;
            sy += y;
            sxx += x * x;
            sxy += x * y;
            if (changes[i].down && i + 1 < changes.size()) {
                const double length = double(changes[i + 1].ns - changes[i].ns);
                const double idealLength = double(ideal[i + 1] - ideal[i]) * unit;
                elementErrors.push_back(std::abs(length - idealLength) / 1000.0);
            }
        }
        const double n = double(changes.size());
        const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
        const QString name = QStringLiteral("%1 WPM, %2%3").arg(wpm).arg(
            spinners > 0 ? QStringLiteral("both cores busy") : QStringLiteral("idle"),
            stallWindow ? QStringLiteral(", window stalled 50 ms / 200 ms") : QString());
        qInfo().noquote() << QStringLiteral(
                                 "keying %1 (%2): edge error p50 %3 us, p99 %4 us, max %5 us; "
                                 "drift %6 ppm; element length error p99 %7 us, max %8 us; %9 "
                                 "edges; load %10; keying thread %11")
                                 .arg(name)
                                 .arg(engine.realTime() ? QStringLiteral("real-time") : QStringLiteral("normal"))
                                 .arg(percentile(errors, 0.5), 0, 'f', 1)
                                 .arg(percentile(errors, 0.99), 0, 'f', 1)
                                 .arg(percentile(errors, 1.0), 0, 'f', 1)
                                 .arg((slope - 1.0) * 1e6, 0, 'f', 2)
                                 .arg(percentile(elementErrors, 0.99), 0, 'f', 1)
                                 .arg(percentile(elementErrors, 1.0), 0, 'f', 1)
                                 .arg(changes.size())
                                 .arg(before)
                                 .arg(engine.priorityDescription());
    }

private Q_SLOTS:
    void idle20() { run(20, 0, false); }
    void idle40() { run(40, 0, false); }
    void busy20() { run(20, 2, false); }
    void busy40() { run(40, 2, false); }
    void stalled20() { run(20, 0, true); }
    void stalled40() { run(40, 0, true); }
};

QTEST_MAIN(BenchKeying)
#include "bench_keying.moc"
