// The real keying lines, down to the system call: a child process keys through the
// program's own keyer, engine, control-line port and ppdev code under a shim that plays
// a serial port's modem lines and a parallel port (this machine's devices have neither
// that a test may touch), and records every change. What reached the "device" is read
// back with the published International Morse Code, not the program's own table. The
// child is also killed mid-element, by every signal a station program can meet. The rig
// port's own DTR and RTS key while the rig link polls a scripted Kenwood on that port.
#include "InternationalMorse.h"
#include "PseudoTerminal.h"
#include "ScriptedRadio.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>

using namespace ditlog;
using namespace ditlog::testing;

namespace {

struct Record {
    qint64 ns = 0;
    QChar kind;      // 'S' serial lines, 'P' parallel control register
    bool dtr = false;
    bool rts = false;
    QString cause;   // serial: open, ioctl, speed-set, speed-zero, close
    int control = -1;
};

QList<Record> readLog(const QString& path) {
    QFile file(path);
    QList<Record> out;
    if (!file.open(QIODevice::ReadOnly)) {
        return out;
    }
    static const QRegularExpression serial(QStringLiteral("^(\\d+) S\\d+ dtr=(\\d) rts=(\\d) (\\S+)$"));
    static const QRegularExpression parallel(QStringLiteral("^(\\d+) P\\d+ (\\d+)$"));
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QString text = QString::fromLatin1(line);
        if (const auto m = serial.match(text); m.hasMatch()) {
            out.append({m.captured(1).toLongLong(), u'S', m.captured(2) == u"1", m.captured(3) == u"1",
                        m.captured(4), -1});
        } else if (const auto p = parallel.match(text); p.hasMatch()) {
            out.append({p.captured(1).toLongLong(), u'P', false, false, {}, p.captured(2).toInt()});
        }
    }
    return out;
}

// (time, down) at every change of one output: "dtr", "rts" or "parallel", from the
// program's first write on (a serial port's raise inside open() is the kernel's).
QList<QPair<qint64, bool>> changesOf(const QList<Record>& log, const QString& output) {
    QList<QPair<qint64, bool>> out;
    bool level = false;
    bool written = false;
    for (const Record& r : log) {
        written = written || r.kind == u'P' || r.cause == u"ioctl";
        if (!written) {
            continue;
        }
        bool down = false;
        if (output == u"parallel" && r.kind == u'P') {
            down = (r.control & 1) != 0;
        } else if (output == u"dtr" && r.kind == u'S') {
            down = r.dtr;
        } else if (output == u"rts" && r.kind == u'S') {
            down = r.rts;
        } else {
            continue;
        }
        if (down != level) {
            out.append({r.ns, down});
            level = down;
        }
    }
    return out;
}

QString decode(const QList<QPair<qint64, bool>>& changes, qint64 unitNs) {
    return decodeMorse(std::vector<std::pair<qint64, bool>>(changes.begin(), changes.end()), unitNs);
}

} // namespace

class TestKeyingLines : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    PseudoTerminal device;

    QString logPath() const { return dir.filePath(QStringLiteral("lines.log")); }
    QString parportStem() const { return dir.filePath(QStringLiteral("parport")); }

    void startChild(QProcess& child, const QStringList& args, const QString& speed = QStringLiteral("9600"),
                    QString serial = {}) {
        if (serial.isEmpty()) {
            serial = device.devicePath();
        }
        QFile::remove(logPath());
        QFile parport(parportStem() + u'0');
        QVERIFY(parport.open(QIODevice::WriteOnly)); // ppdev's device node, played by the shim
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(MODEM_SHIM));
        env.insert(QStringLiteral("MODEMSHIM_LOG"), logPath());
        env.insert(QStringLiteral("MODEMSHIM_SERIAL"), serial);
        env.insert(QStringLiteral("MODEMSHIM_PARPORT"), parportStem() + u'0');
        env.insert(QStringLiteral("MODEMSHIM_SPEED"), speed);
        env.insert(QStringLiteral("KEYING_SERIAL"), serial);
        env.insert(QStringLiteral("KEYING_PARPORT_STEM"), parportStem());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // A sanitizer runtime must not insist on coming before the shim.
        const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   (asan.isEmpty() ? QString() : asan + u':') + QStringLiteral("verify_asan_link_order=0"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QStringLiteral(KEYING_CHILD), args);
        QVERIFY2(child.waitForStarted(10000), qPrintable(child.errorString()));
    }

    // The next line the child prints, waiting at most 20 s for it.
    static QByteArray nextLine(QProcess& child) {
        QElapsedTimer waited;
        waited.start();
        while (!child.canReadLine() && waited.elapsed() < 20000 && child.state() == QProcess::Running) {
            child.waitForReadyRead(100);
        }
        return child.readLine().trimmed();
    }

    void runChild(const QStringList& args, int expectedExit = 0) {
        QProcess child;
        startChild(child, args);
        QVERIFY(child.waitForFinished(120000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), expectedExit);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QVERIFY(device.isValid());
    }

    // Linux raises DTR and RTS inside open() unless the port was left at zero speed. The
    // port is cleared at once after the first opening, left at zero speed, so the second
    // opening raises nothing; no speed is ever set that would raise them again.
    void openingRaisesNoLine() {
        runChild({QStringLiteral("open-twice")});
        const QList<Record> log = readLog(logPath());
        QVERIFY(!log.isEmpty());
        QCOMPARE(log.first().cause, QStringLiteral("open")); // the kernel's, before any code runs
        QVERIFY(log.size() >= 2);
        QCOMPARE(log.at(1).cause, QStringLiteral("ioctl"));
        QVERIFY(!log.at(1).dtr && !log.at(1).rts);
        int raised = 0;
        for (const Record& r : log) {
            QVERIFY2(r.cause != u"speed-set", "a speed was set after zero, raising the lines");
            raised += (r.dtr || r.rts) ? 1 : 0;
        }
        QCOMPARE(raised, 1);

        QProcess child;
        startChild(child, {QStringLiteral("open-twice")}, QStringLiteral("0"));
        QVERIFY(child.waitForFinished(30000));
        for (const Record& r : readLog(logPath())) {
            QVERIFY2(!r.dtr && !r.rts, qPrintable(r.cause));
        }
    }

    void keysTextOnEachLine_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("DTR") << "dtr";
        QTest::newRow("RTS") << "rts";
        QTest::newRow("parallel") << "parallel";
    }
    void keysTextOnEachLine() {
        QFETCH(QString, line);
        const QString text = QStringLiteral("CQ TEST DE K1ABC 5NN [ ] ; \\ 73?");
        runChild({QStringLiteral("key"), line == u"parallel" ? QStringLiteral("printer") : line,
                  QStringLiteral("20"), text});
        const QList<Record> log = readLog(logPath());
        const auto changes = changesOf(log, line);
        QVERIFY(!changes.isEmpty());
        QCOMPARE(decode(changes, 60'000'000), text);
        QVERIFY(!changes.last().second); // left key-up
        if (line != u"parallel") {
            // Nothing but the keyed line moves, and nothing keys before the first element.
            const QString other = line == u"dtr" ? QStringLiteral("rts") : QStringLiteral("dtr");
            QVERIFY(changesOf(log, other).isEmpty());
            QVERIFY(log.first().cause == u"open" && log.at(1).cause == u"ioctl"); // cleared at once
        } else {
            QCOMPARE(log.last().control, 2); // closed resting
        }
    }

    // Leaving the printer line mid-message: the parallel port is closed resting and never
    // keyed again, the next characters go to DTR, choosing None ends the send; no
    // "Invalid port." (the child would end with 5).
    void switchingLinesMidMessage() {
        runChild({QStringLiteral("switch"), QStringLiteral("20"),
                  QStringLiteral("TEST TEST TEST TEST TEST TEST"), QStringLiteral("900")});
        const QList<Record> log = readLog(logPath());
        const auto parallel = changesOf(log, QStringLiteral("parallel"));
        const auto dtr = changesOf(log, QStringLiteral("dtr"));
        QVERIFY(parallel.size() >= 2);
        QVERIFY(dtr.size() >= 2);
        QVERIFY(!parallel.last().second);
        QVERIFY(!dtr.last().second);
        QVERIFY2(parallel.last().first <= dtr.first().first, "the printer line keyed after the switch");
        // None came 900 ms after DTR: sending stopped then, seconds before the message's end.
        QVERIFY(dtr.last().first - parallel.first().first < 3'000'000'000LL);
        int lastControl = -1;
        for (const Record& r : log) {
            if (r.kind == u'P') {
                lastControl = r.control;
            }
        }
        QCOMPARE(lastControl, 2);
    }

    // The keying port's adapter pulled in the middle of a send and plugged in again under
    // its name: the line drops with the port, nothing touches the port while it is gone,
    // one box tells it, and the next send keys whole on the port found again.
    void keyingPortUnpluggedAndBack() {
        PseudoTerminal adapter(dir.filePath(QStringLiteral("ttyKeyer")));
        QVERIFY(adapter.isValid());
        const QString text = QStringLiteral("TEST TEST");
        QProcess child;
        startChild(child, {QStringLiteral("unplug-cw"), QStringLiteral("30"), text}, QStringLiteral("9600"),
                   adapter.devicePath());
        QCOMPARE(nextLine(child), QByteArray("keying"));
        QTRY_VERIFY_WITH_TIMEOUT(changesOf(readLog(logPath()), QStringLiteral("dtr")).size() >= 3, 10000);
        adapter.hangUp();
        QCOMPARE(nextLine(child), QByteArray("lost 1"));
        const QList<Record> gone = readLog(logPath());
        QVERIFY(!gone.last().dtr && !gone.last().rts);
        QTest::qWait(500);
        QCOMPARE(readLog(logPath()).size(), gone.size());

        QVERIFY(adapter.plugIn());
        child.write("again\n");
        QCOMPARE(nextLine(child), QByteArray("done 1"));
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitCode(), 0);
        const QList<Record> back = readLog(logPath()).mid(gone.size());
        QVERIFY(!back.isEmpty());
        // Opened again at zero speed: no raise by the opening, only the text's elements.
        QVERIFY(std::none_of(back.begin(), back.end(), [](const Record& r) { return r.cause == u"open"; }));
        const auto changes = changesOf(back, QStringLiteral("dtr"));
        QCOMPARE(decode(changes, 40'000'000), text);
        QVERIFY(changesOf(back, QStringLiteral("rts")).isEmpty());
    }

    // The push-to-talk port's adapter pulled while a message plays: push-to-talk is off
    // with the port, told once; plugged in again, the next message keys it again.
    void pushToTalkPortUnpluggedAndBack() {
        PseudoTerminal adapter(dir.filePath(QStringLiteral("ttyPtt")));
        QVERIFY(adapter.isValid());
        QProcess child;
        startChild(child, {QStringLiteral("unplug-ptt")}, QStringLiteral("9600"), adapter.devicePath());
        QCOMPARE(nextLine(child), QByteArray("keyed"));
        QVERIFY(readLog(logPath()).last().rts);
        adapter.hangUp();
        QCOMPARE(nextLine(child), QByteArray("lost 1 0"));
        const QList<Record> gone = readLog(logPath());
        QVERIFY(!gone.last().dtr && !gone.last().rts);

        QVERIFY(adapter.plugIn());
        child.write("again\n");
        QCOMPARE(nextLine(child), QByteArray("again 1"));
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitCode(), 0);
        const QList<Record> back = readLog(logPath()).mid(gone.size());
        QVERIFY(std::any_of(back.begin(), back.end(), [](const Record& r) { return r.rts; }));
        QVERIFY(!back.last().rts); // and let go when the program ends
    }

    // The rig link opens the port (Linux raises both lines in open()): the keying line goes
    // down before anything else happens, the connection power never raises it, and the
    // message is keyed on it while the poll goes on every 100 ms on the same descriptor.
    void rigPortLineKeysWhileThePollRuns_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("power");
        QTest::newRow("DTR") << QStringLiteral("dtr") << QStringLiteral("N");
        QTest::newRow("RTS") << QStringLiteral("rts") << QStringLiteral("N");
        QTest::newRow("DTR, power asked on DTR") << QStringLiteral("dtr") << QStringLiteral("D");
        QTest::newRow("DTR, power on RTS") << QStringLiteral("dtr") << QStringLiteral("R");
    }
    void rigPortLineKeysWhileThePollRuns() {
        QFETCH(QString, line);
        QFETCH(QString, power);
        ScriptedRadio radio(device, ScriptedRadio::Protocol::Kenwood);
        const QString text = QStringLiteral("CQ TEST DE K1ABC [ ]");
        QProcess child;
        startChild(child, {QStringLiteral("rigport"), line, QStringLiteral("25"), text, power});
        QVERIFY(QTest::qWaitFor([&] { return child.state() == QProcess::NotRunning; }, 120000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);

        const QList<Record> log = readLog(logPath());
        QVERIFY(log.size() > 2);
        QCOMPARE(log.first().cause, QStringLiteral("open"));
        // Opening the port at its speed raises both lines (in open(), and again as the
        // speed is set from zero); the program's first change drops the keying line.
        qsizetype first = 0;
        while (first < log.size() && log.at(first).cause != u"ioctl") {
            ++first;
        }
        QVERIFY(first < log.size());
        QVERIFY(line == u"dtr" ? !log.at(first).dtr : !log.at(first).rts);
        qInfo("the keying line was down %.2f ms after the port opened",
              double(log.at(first).ns - log.first().ns) / 1e6);
        const auto keyed = changesOf(log, line);
        QCOMPARE(decode(keyed, 48'000'000), text); // nothing but the message on the line
        QVERIFY(!keyed.last().second);
        // The other line: down with the first clearing, raised only as connection power.
        const QString other = line == u"dtr" ? QStringLiteral("rts") : QStringLiteral("dtr");
        const bool otherPowered =
            (other == u"rts" && power == u"R") || (other == u"dtr" && power == u"D");
        for (qsizetype i = first + 1; i < log.size(); ++i) {
            const bool up = other == u"dtr" ? log.at(i).dtr : log.at(i).rts;
            QVERIFY2(!up || otherPowered || log.at(i).cause != u"ioctl",
                     qPrintable(log.at(i).cause));
        }
        // CAT went on during the message: polls at 100 ms between its first and last edge.
        const double firstMs = double(keyed.first().first) / 1e6;
        const double lastMs = double(keyed.last().first) / 1e6;
        // The radio's times are on the same monotonic clock as the shim's.
        const double radioToMonotonicMs = radio.startedAtMonotonicMs();
        int pollsDuring = 0;
        for (const auto& r : radio.receivedStartingWith("FA;")) {
            const double at = r.atMs + radioToMonotonicMs;
            pollsDuring += (at > firstMs && at < lastMs) ? 1 : 0;
        }
        QVERIFY2(
            pollsDuring >= int((lastMs - firstMs) / 100 / 3),
            qPrintable(QStringLiteral("%1 polls in %2 ms").arg(pollsDuring).arg(lastMs - firstMs)));
    }

    // Killed or crashed mid-element: the parallel register (which keeps its value when a
    // process dies) and push-to-talk are set key-up by the signal handler itself.
    void killedMidElement_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("fatal");
        QTest::newRow("SIGTERM") << SIGTERM << false;
        QTest::newRow("SIGINT") << SIGINT << false;
        QTest::newRow("SIGHUP") << SIGHUP << false;
        QTest::newRow("SIGSEGV") << SIGSEGV << true;
        QTest::newRow("SIGBUS") << SIGBUS << true;
        QTest::newRow("SIGABRT") << SIGABRT << true;
        QTest::newRow("SIGFPE") << SIGFPE << true;
    }
    void killedMidElement() {
        QFETCH(int, signal);
        QFETCH(bool, fatal);
        QProcess child;
        startChild(child, {QStringLiteral("hold"), QStringLiteral("10"), QStringLiteral("TTTTTTTT")});
        QVERIFY(child.waitForReadyRead(30000));
        // Wait for a key-down, then strike inside the 360 ms dash.
        QVERIFY(QTest::qWaitFor([&] {
            const QList<Record> log = readLog(logPath());
            for (auto it = log.crbegin(); it != log.crend(); ++it) {
                if (it->kind == u'P') {
                    return it->control == 3;
                }
            }
            return false;
        }, 30000));
        ::kill(pid_t(child.processId()), signal);
        QVERIFY(child.waitForFinished(30000));
        if (fatal) {
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        } else {
            QCOMPARE(child.exitStatus(), QProcess::NormalExit);
            QCOMPARE(child.exitCode(), 128 + signal);
        }
        const QList<Record> log = readLog(logPath());
        const auto parallel = changesOf(log, QStringLiteral("parallel"));
        const auto rts = changesOf(log, QStringLiteral("rts"));
        QVERIFY(!parallel.isEmpty() && !rts.isEmpty());
        QVERIFY2(!parallel.last().second, "the parallel key stayed down");
        QVERIFY2(!rts.last().second, "push-to-talk stayed keyed");
        QVERIFY(rts.first().second); // it was keyed before
    }
};

QTEST_GUILESS_MAIN(TestKeyingLines)
#include "tst_keyinglines.moc"
