// An independent packet engine: Debian's Dire Wolf decodes spot packets from audio made
// by its gen_packets tool and hands them to the spot link over the AGW interface. Dire
// Wolf listens on every interface, so the test runs itself again inside a private network
// namespace where only its own loopback exists. Skipped where Dire Wolf, gen_packets,
// unshare or ip is missing or a namespace cannot be made.
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

#include <unistd.h>

using namespace ditlog;
using namespace ditlog::testing;

namespace {
const char* const kInsideMarker = "DITLOG_DIREWOLF_NAMESPACE";
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
} // namespace

class TestDirewolf : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        if (!qEnvironmentVariableIsSet(kInsideMarker)) {
            QSKIP("Needs direwolf, gen_packets, unshare and ip, and a private network namespace");
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
};

int main(int argc, char* argv[]) {
    // Outside the namespace: run this test again inside one, when everything is there.
    if (!qEnvironmentVariableIsSet(kInsideMarker) && have("direwolf") && have("gen_packets") &&
        have("unshare") && have("ip") && ::system("unshare -n true >/dev/null 2>&1") == 0) {
        ::setenv(kInsideMarker, "1", 1);
        QList<char*> args{const_cast<char*>("unshare"), const_cast<char*>("-n"), const_cast<char*>("--")};
        for (int i = 0; i < argc; ++i) {
            args.append(argv[i]);
        }
        args.append(nullptr);
        ::execvp("unshare", args.data());
        ::unsetenv(kInsideMarker); // exec failed: run here, skipping
    }
    QCoreApplication app(argc, argv);
    TestDirewolf test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_direwolf.moc"
