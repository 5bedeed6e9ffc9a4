// An independent packet engine: Debian's Dire Wolf decodes spot packets from audio made
// by its gen_packets tool and hands them to the spot link over the AGW interface; and two
// Dire Wolfs whose sound goes to each other carry a connection from the spot link to a
// node. Dire Wolf listens on every interface, so the test runs itself again inside a
// private network namespace where only its own loopback exists. Skipped where Dire Wolf,
// gen_packets, unshare or ip is missing or a namespace cannot be made.
#include "Peers.h"
#include "TestDoubles.h"
#include "log/StationPreferences.h"
#include "platform/AgwEngine.h"
#include "platform/PortMap.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "platform/TcpClient.h"
#include "spots/SpotConsole.h"
#include "spots/SpotIntake.h"
#include "spots/SpotSourceLink.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <QElapsedTimer>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
const char* const kInsideMarker = "DITLOG_DIREWOLF_NAMESPACE";
// Why the test runs outside a namespace (and skips, or fails under CI).
const char* const kWhyNotInside = "DITLOG_DIREWOLF_MISSING";
constexpr int kWait = 30000;

bool have(const char* program) {
    return !QStandardPaths::findExecutable(QLatin1String(program)).isEmpty();
}

bool run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QByteArray packet(const QString& call, const QString& kHz) {
    return QStringLiteral("N0DXC>DX:DX de W3LPL:    %1  %2 %3 1234Z\n")
        .arg(kHz.rightJustified(8), call.leftJustified(12), QStringLiteral("CQ TEST").leftJustified(30))
        .toLatin1();
}
// Two Dire Wolfs on one channel: each one's transmitted sound (written by ALSA's file
// plugin into a pipe) is fed to the other's standard input at the sound's own pace, with
// silence between transmissions, as a receiver hears the air.
class Air {
public:
    static constexpr int kRate = 44100;

    explicit Air(const QString& dir) : m_dir(dir) {
        for (const char* name : {"a_in", "b_in", "a_out", "b_out"}) {
            const QByteArray path = QFile::encodeName(m_dir + QLatin1Char('/') + QLatin1String(name));
            ::mkfifo(path.constData(), 0600);
            // Held open both ways: nobody blocks opening an end, nobody meets its end.
            m_fds.append(::open(path.constData(), O_RDWR | O_NONBLOCK));
        }
        QFile rc(m_dir + QStringLiteral("/.asoundrc"));
        if (rc.open(QIODevice::WriteOnly)) {
            rc.write(QStringLiteral("pcm.outA { type file; slave.pcm \"null\"; file \"%1/a_out\"; format \"raw\" }\n"
                                    "pcm.outB { type file; slave.pcm \"null\"; file \"%1/b_out\"; format \"raw\" }\n")
                         .arg(m_dir)
                         .toUtf8());
        }
        m_clock.start();
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { carry(); });
        m_timer.start();
    }
    ~Air() {
        for (const int fd : std::as_const(m_fds)) {
            ::close(fd);
        }
    }
    bool ready() const { return !m_fds.contains(-1); }
    QString input(char station) const { return m_dir + QStringLiteral("/%1_in").arg(QLatin1Char(station)); }

private:
    void carry() {
        const qint64 now = m_clock.elapsed();
        const qint64 bytes = (now - m_last) * kRate / 1000 * 2;
        m_last = now;
        carry(m_fds[2], m_fds[1], m_fromA, bytes); // a_out to b_in
        carry(m_fds[3], m_fds[0], m_fromB, bytes); // b_out to a_in
    }
    static void carry(int from, int to, QByteArray& waiting, qint64 bytes) {
        char chunk[65536];
        for (ssize_t n = ::read(from, chunk, sizeof chunk); n > 0; n = ::read(from, chunk, sizeof chunk)) {
            waiting.append(chunk, n);
        }
        QByteArray sound = waiting.left(bytes);
        waiting.remove(0, sound.size());
        sound.append(QByteArray(bytes - sound.size(), '\0'));
        if (::write(to, sound.constData(), size_t(sound.size())) < 0) {
            return; // the reader is behind: this much sound is lost, as on the air
        }
    }

    QString m_dir;
    QList<int> m_fds;
    QByteArray m_fromA;
    QByteArray m_fromB;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    QTimer m_timer;
};

bool listening(quint16 port) {
    QTcpSocket probe;
    probe.connectToHost(QStringLiteral("127.0.0.1"), port);
    return probe.waitForConnected(200);
}

void startDirewolf(QProcess& p, const QString& dir, const QString& name, const QString& input,
                   const char* config) {
    QFile conf(dir + QLatin1Char('/') + name + QStringLiteral(".conf"));
    if (conf.open(QIODevice::WriteOnly)) {
        conf.write(config);
        conf.close();
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir); // its ALSA configuration
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardInputFile(input);
    p.start(QStringLiteral("direwolf"), {QStringLiteral("-c"), conf.fileName(), QStringLiteral("-t"), QStringLiteral("0")});
}

void stopProcess(QProcess& p) {
    p.kill();
    p.waitForFinished();
}
} // namespace

class TestDirewolf : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        if (!qEnvironmentVariableIsSet(kInsideMarker)) {
            SKIP_OR_FAIL_WITHOUT_PEER(qEnvironmentVariable(kWhyNotInside, QStringLiteral("not run in a namespace")));
        }
    }

    void spotsDecodedByDireWolfReachTheLink() {
        QTemporaryDir dir;
        QVERIFY(run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("set"),
                                           QStringLiteral("lo"), QStringLiteral("up")}));
        QFile messages(dir.filePath(QStringLiteral("spots.txt")));
        QVERIFY(messages.open(QIODevice::WriteOnly));
        messages.write(packet(QStringLiteral("K1ABC"), QStringLiteral("14025.0")) +
                       packet(QStringLiteral("W9XYZ"), QStringLiteral("7030.5")) +
                       packet(QStringLiteral("JA1XX"), QStringLiteral("21010.0")));
        messages.close();
        const QString wav = dir.filePath(QStringLiteral("spots.wav"));
        QVERIFY(run(QStringLiteral("gen_packets"),
                    {QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-o"), wav,
                     messages.fileName()}));
        QFile audio(wav);
        QVERIFY(audio.open(QIODevice::ReadOnly));
        const QByteArray samples = audio.readAll().mid(44); // raw samples after the header

        QFile conf(dir.filePath(QStringLiteral("direwolf.conf")));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("ADEVICE stdin null\nARATE 44100\nCHANNEL 0\nMYCALL N0TEST\nMODEM 1200\n"
                   "AGWPORT 8000\nKISSPORT 0\n");
        conf.close();
        QProcess direwolf;
        const auto stop = qScopeGuard([&direwolf] {
            direwolf.closeWriteChannel();
            if (!direwolf.waitForFinished(5000)) {
                direwolf.kill();
                direwolf.waitForFinished();
            }
        });
        direwolf.setProcessChannelMode(QProcess::MergedChannels);
        direwolf.start(QStringLiteral("direwolf"), {QStringLiteral("-c"), conf.fileName(),
                                                    QStringLiteral("-t"), QStringLiteral("0")});
        QVERIFY(direwolf.waitForStarted());
        // Ready once its AGW port takes connections.
        const auto listening = [] {
            QTcpSocket probe;
            probe.connectToHost(QStringLiteral("127.0.0.1"), TcpAgwEngine::kDefaultPort);
            return probe.waitForConnected(200);
        };
        QTRY_VERIFY_WITH_TIMEOUT(listening() || direwolf.state() != QProcess::Running, kWait);
        QCOMPARE(direwolf.state(), QProcess::Running);

        QTemporaryDir settingsDir;
        QtSettingsStore settings(settingsDir.filePath(QStringLiteral("s.ini")));
        PortMap map(settings);
        QtSerialPort serial(map);
        QtTcpClient telnet;
        TcpAgwEngine engine; // the default address: 127.0.0.1:8000
        ScriptedPrompts prompts;
        StationPreferences prefs;
        prefs.OwnCall = QStringLiteral("N0CALL");
        SpotSourceSettings source;
        source.Source = SpotSource::Agw;
        SpotConsole console;
        SpotIntake intake(console);
        SpotSourceLink link(source, console, intake, serial, telnet, engine, prompts, prefs);
        QStringList calls;
        connect(&intake, &SpotIntake::spotPosted, this,
                [&calls](const QString&, const QString& call) { calls.append(call); });
        link.OpenSource();
        QTRY_VERIFY_WITH_TIMEOUT(link.timerRunning(), kWait);
        QTest::qWait(500); // monitoring is switched on
        direwolf.write(samples);
        QTRY_COMPARE_WITH_TIMEOUT(calls, (QStringList{QStringLiteral("K1ABC"), QStringLiteral("W9XYZ"),
                                                      QStringLiteral("JA1XX")}),
                                  kWait);
        QVERIFY(console.text().contains(QLatin1String("DX de W3LPL:")));
        link.CloseSource();
    }

    // ":C node" over the air to a second Dire Wolf: the typed line reaches the node as
    // AX.25 text (PID F0, which Dire Wolf otherwise reports as invalid), and the node's
    // prompt, which has no line end, shows in the console as it comes.
    void connectedLinesReachANode() {
        QTemporaryDir dir;
        QVERIFY(run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("set"),
                                           QStringLiteral("lo"), QStringLiteral("up")}));
        Air air(dir.path());
        QVERIFY(air.ready());
        QProcess station;
        QProcess node;
        const auto stop = qScopeGuard([&] {
            stopProcess(station);
            stopProcess(node);
        });
        startDirewolf(station, dir.path(), QStringLiteral("station"), air.input('a'),
                      "ADEVICE stdin outA\nARATE 44100\nCHANNEL 0\nMYCALL N0CALL\nMODEM 1200\n"
                      "AGWPORT 8000\nKISSPORT 0\n");
        startDirewolf(node, dir.path(), QStringLiteral("node"), air.input('b'),
                      "ADEVICE stdin outB\nARATE 44100\nCHANNEL 0\nMYCALL N0NODE\nMODEM 1200\n"
                      "AGWPORT 8001\nKISSPORT 0\n");
        QVERIFY(station.waitForStarted());
        QVERIFY(node.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT((listening(8000) && listening(8001)) || station.state() != QProcess::Running ||
                                     node.state() != QProcess::Running,
                                 kWait);
        QCOMPARE(station.state(), QProcess::Running);
        QCOMPARE(node.state(), QProcess::Running);

        // The node's end: a program of its own registered as N0NODE.
        TcpAgwEngine nodeEngine(QStringLiteral("127.0.0.1"), 8001);
        nodeEngine.AGWStartPoll(QStringLiteral("N0NODE"), QString());
        QTRY_VERIFY_WITH_TIMEOUT(nodeEngine.isRegistered(), kWait);
        QList<AgwFrame> atNode;
        const auto nodeReceives = [&](char kind) {
            while (const auto frame = nodeEngine.AGWGetData()) {
                atNode.append(*frame);
            }
            return std::any_of(atNode.cbegin(), atNode.cend(), [kind](const AgwFrame& f) { return f.kind == kind; });
        };

        QTemporaryDir settingsDir;
        QtSettingsStore settings(settingsDir.filePath(QStringLiteral("s.ini")));
        PortMap map(settings);
        QtSerialPort serial(map);
        QtTcpClient telnet;
        TcpAgwEngine engine;
        ScriptedPrompts prompts;
        StationPreferences prefs;
        prefs.OwnCall = QStringLiteral("N0CALL");
        SpotSourceSettings source;
        source.Source = SpotSource::Agw;
        SpotConsole console;
        SpotIntake intake(console);
        SpotSourceLink link(source, console, intake, serial, telnet, engine, prompts, prefs);
        link.OpenSource();
        QTRY_VERIFY_WITH_TIMEOUT(link.timerRunning(), kWait);
        link.SendLine(QStringLiteral(":c n0node"));
        QTRY_COMPARE_WITH_TIMEOUT(link.connectedStation(), QStringLiteral("N0NODE"), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(nodeReceives('c'), kWait); // the engine's C, as the library reports it

        link.SendLine(QStringLiteral("sh/dx"));
        QTRY_VERIFY_WITH_TIMEOUT(nodeReceives('D'), kWait);
        const auto text = std::find_if(atNode.cbegin(), atNode.cend(), [](const AgwFrame& f) { return f.kind == 'D'; });
        QCOMPARE(text->data, QByteArray("sh/dx\r"));
        QCOMPARE(text->pid, quint8(0xF0));
        const QByteArray said = station.readAll();
        QVERIFY2(!said.contains("invalid PID"), said.constData());

        nodeEngine.AGWPutData(QStringLiteral("N0CALL"), "Welcome\rN0NODE> ", 'D');
        QTRY_VERIFY_WITH_TIMEOUT(console.text().endsWith(QLatin1String("N0NODE> ")), kWait);
        link.CloseSource();
        nodeEngine.AGWClose();
    }
};

int main(int argc, char* argv[]) {
    // Outside the namespace: run this test again inside one, when everything is there.
    QStringList missing;
    for (const char* program : {"direwolf", "gen_packets", "unshare", "ip"}) {
        if (!have(program)) {
            missing.append(QLatin1String(program));
        }
    }
    const bool outside = !qEnvironmentVariableIsSet(kInsideMarker);
    if (outside && !missing.isEmpty()) {
        ::setenv(kWhyNotInside, qPrintable(QStringLiteral("Needs %1 (bash tools/install-deps.sh)").arg(missing.join(QLatin1String(", ")))), 1);
    } else if (outside && ::system("unshare -n true >/dev/null 2>&1") != 0) {
        ::setenv(kWhyNotInside, "A private network namespace was refused (unshare -n)", 1);
    } else if (outside) {
        ::setenv(kInsideMarker, "1", 1);
        QList<char*> args{const_cast<char*>("unshare"), const_cast<char*>("-n"), const_cast<char*>("--")};
        for (int i = 0; i < argc; ++i) {
            args.append(argv[i]);
        }
        args.append(nullptr);
        ::execvp("unshare", args.data());
        ::unsetenv(kInsideMarker); // exec failed: run here, skipping
        ::setenv(kWhyNotInside, "unshare could not be started", 1);
    }
    QCoreApplication app(argc, argv);
    TestDirewolf test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_direwolf.moc"
